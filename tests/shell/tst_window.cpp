// The main window's lifecycle and chrome: start-up order and the idle state,
// the exit question through the button and the window system alike, a quiet
// end while connected, the hover effect, window moving and the roster menu.

#define QTEST_QPA_MOUSE_HANDLING   // real pointer routing: enter events and the widget under the pointer

#include "ShellProfile.h"
#include "ScriptedGateway.h"

#include "chat/ChatSession.h"
#include "chat/TranscriptPane.h"
#include "outgoing/AntiIdle.h"
#include "outgoing/InputLine.h"
#include "settings/DialogSettings.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QStandardPaths>
#include <QLabel>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTimer>

namespace {

const char *const ButtonNames[] = {"cmdConnect", "cmdSend", "cmdOptions", "cmdAbout", "cmdSaveLog", "cmdExit"};

QPushButton *buttonNamed(MainWindow &w, const char *name)
{
    return w.findChild<QPushButton *>(QLatin1String(name));
}

QLabel *labelNamed(MainWindow &w, const char *name)
{
    return w.findChild<QLabel *>(QLatin1String(name));
}

// A point of the window that shows the bare background.
QPoint backgroundPoint(MainWindow &w)
{
    for (int y = 2; y < w.height(); y += 3) {
        for (int x = 2; x < w.width(); x += 7) {
            if (!w.childAt(QPoint(x, y)))
                return {x, y};
        }
    }
    return {};
}

void showAndWait(MainWindow &w)
{
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
}

// Runs `act` on the modal dialog as soon as its event loop runs.
void onModal(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        act(dialog);
    });
}

} // namespace

class TestWindow : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void startUpArmsAntiIdleOnlyWhenItIsOn_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("armed");
        QTest::newRow("on") << "1" << true;
        QTest::newRow("off") << "0" << false;
    }

    void startUpArmsAntiIdleOnlyWhenItIsOn()
    {
        QFETCH(QString, stored);
        QFETCH(bool, armed);
        ShellProfile profile;
        ShellProfile::put(QStringLiteral("AntiIdle"), stored);
        MainWindow w(profile.prompts());
        QCOMPARE(w.antiIdle().timer1().isActive(), armed);
        QVERIFY(!w.antiIdle().timer2().isActive());
        if (armed)
            QCOMPARE(w.antiIdle().timer1().interval(), AntiIdle::StageMs);
        // The dialogs' fields hold the stored settings, the server list first.
        QCOMPARE(w.settings().server(), QStringLiteral("127.0.0.1"));
        QCOMPARE(w.settings().antiIdle(), armed);
    }

    void startsIdleWithTheFixedLook()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        showAndWait(w);
        QTest::qWait(50);
        QCOMPARE(w.windowTitle(), QStringLiteral("Quillon  v2.2"));
        QVERIFY(w.windowFlags() & Qt::FramelessWindowHint);
        QCOMPARE(labelNamed(w, "Label1")->text(), QStringLiteral("Quillon 2.2"));
        QCOMPARE(labelNamed(w, "Label2")->text(), QStringLiteral("A s h g r o v e"));
        QCOMPARE(labelNamed(w, "lblChan")->text(), QStringLiteral("(Not logged on)"));
        QCOMPARE(labelNamed(w, "lblChanCnt")->text(), QStringLiteral("0"));
        QCOMPARE(labelNamed(w, "Label1")->palette().color(QPalette::WindowText), QColor(0x00, 0x40, 0x40));
        QCOMPARE(w.palette().color(QPalette::Window), QColor(Qt::black));
        QCOMPARE(w.palette().color(QPalette::WindowText), QColor(0x80, 0x80, 0x80));
        QVERIFY(w.findChild<QListView *>(QStringLiteral("lstUser")));
        QCOMPARE(w.findChild<InputLine *>(QStringLiteral("txtSend")), w.txtSend());

        // Nothing connects until the user asks.
        QVERIFY(!w.session().isActive());
        QVERIFY(!w.session().isConnected());
        QVERIFY(w.txtChat()->toPlainText().isEmpty());

        // The six buttons, in tab order after the input line.
        const QStringList captions = {"&Connect", "&Send", "&Options", "&About", "Save &Log", "&Exit"};
        QWidget *next = w.txtSend()->nextInFocusChain();
        for (int i = 0; i < 6; ++i) {
            while (next->focusPolicy() == Qt::NoFocus || !next->isVisible() || w.txtSend()->isAncestorOf(next))
                next = next->nextInFocusChain();
            QCOMPARE(next, static_cast<QWidget *>(buttonNamed(w, ButtonNames[i])));
            QCOMPARE(buttonNamed(w, ButtonNames[i])->text(), captions.at(i));
            QVERIFY(!buttonNamed(w, ButtonNames[i])->font().bold());
            next = next->nextInFocusChain();
        }
    }

    void exitAsksFirst_data()
    {
        QTest::addColumn<bool>("viaButton");
        QTest::addColumn<bool>("yes");
        QTest::newRow("cmdExit, No") << true << false;
        QTest::newRow("cmdExit, Yes") << true << true;
        QTest::newRow("close request, No") << false << false;
        QTest::newRow("close request, Yes") << false << true;
    }

    void exitAsksFirst()
    {
        QFETCH(bool, viaButton);
        QFETCH(bool, yes);
        ShellProfile profile;
        profile.answerYes = yes;
        ShellProfile::put(QStringLiteral("AntiIdle"), QStringLiteral("1"));
        MainWindow w(profile.prompts());
        showAndWait(w);
        // An edit that only SaveSettings puts into the store.
        w.settings().setHomeChan(QStringLiteral("Elsewhere"));

        if (viaButton)
            QTest::mouseClick(buttonNamed(w, "cmdExit"), Qt::LeftButton);
        else
            QCOMPARE(w.close(), yes);

        QCOMPARE(profile.exitQuestions, 1);
        QCOMPARE(w.isVisible(), !yes);
        QCOMPARE(ShellProfile::stored(QStringLiteral("HomeChan")),
                 yes ? QStringLiteral("Elsewhere") : QStringLiteral("Bounty Hunters"));
        // No leaves everything running; Yes lets no idle line out any more.
        QCOMPARE(w.antiIdle().timer1().isActive(), !yes);
        QVERIFY(w.txtChat()->toPlainText().isEmpty());
    }

    void yesClosesTheOpenDialogs_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("options") << "cmdOptions";
        QTest::newRow("about") << "cmdAbout";
        QTest::newRow("login") << "cmdConnect";
    }

    void yesClosesTheOpenDialogs()
    {
        QFETCH(QString, button);
        ShellProfile profile;
        profile.answerYes = true;
        MainWindow w(profile.prompts());
        showAndWait(w);
        bool sawDialog = false;
        onModal([&](QWidget *dialog) {
            sawDialog = true;
            w.close();
            // Should the dialog stay, free the test instead of hanging it.
            QTimer::singleShot(2000, dialog, [dialog] { dialog->close(); });
        });
        QTest::mouseClick(w.findChild<QPushButton *>(button), Qt::LeftButton);
        QVERIFY(sawDialog);
        QVERIFY(!w.isVisible());
        QVERIFY(!QApplication::activeModalWidget());
        QVERIFY(!w.settings().loginExists());
        QVERIFY(!w.settings().optionsExists());
        QVERIFY(!w.findChild<QDialog *>());
        QVERIFY(!w.session().isConnected());
    }

    void exitWhileConnectedSendsAndWritesNothing()
    {
        ShellProfile profile;
        profile.answerYes = true;
        ShellProfile::put(QStringLiteral("AntiIdle"), QStringLiteral("1"));
        ScriptedGateway gateway;
        QVERIFY(gateway.listen());
        auto w = std::make_unique<MainWindow>(profile.prompts());
        showAndWait(*w);
        w->session().setPortForTesting(gateway.port());
        w->session().Login();
        QVERIFY(gateway.waitForClient());
        QVERIFY(gateway.waitForReceivedEnding("\r\nWanderers\r\n"));
        gateway.sendLines({"2010 NAME bob", "1007 CHANNEL \"Lobby\"", "1001 USER bob 0000 [CHAT]"});
        QVERIFY(ShellProfile::waitUntil([&] { return w->session().roster().count() == 1; }));

        // Everything sent so far has arrived once the marker has.
        QVERIFY(w->session().SendLine(QStringLiteral("#marker")));
        QVERIFY(gateway.waitForReceivedEnding("#marker\r"));
        gateway.take();
        const QString upper = w->txtChat()->toPlainText();
        const QString lower = w->txtChat2()->toPlainText();

        QTest::mouseClick(buttonNamed(*w, "cmdExit"), Qt::LeftButton);
        QVERIFY(!w->isVisible());
        QTest::qWait(200);
        QCOMPARE(gateway.received(), QByteArray());
        QCOMPARE(w->txtChat()->toPlainText(), upper);
        QCOMPARE(w->txtChat2()->toPlainText(), lower);
        QVERIFY(!upper.contains(QLatin1String("Disconnected.")));

        // The connection ends with the program, without a last word.
        QPointer<QTcpSocket> client = gateway.client();
        w.reset();
        QVERIFY(ShellProfile::waitUntil([&] {
            return !client || client->state() != QAbstractSocket::ConnectedState;
        }));
        QCOMPARE(gateway.received(), QByteArray());
    }

    void hoverBoldUntilTheBackground()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        showAndWait(w);
        auto bold = [&](const char *name) { return buttonNamed(w, name)->font().bold(); };
        const QPoint bare = backgroundPoint(w);
        QVERIFY(!bare.isNull());

        QTest::mouseMove(buttonNamed(w, "cmdSend"));
        QTRY_VERIFY(bold("cmdSend"));
        QVERIFY(!bold("cmdConnect"));
        // Labels, panes and the roster are not the background.
        QTest::mouseMove(labelNamed(w, "Label1"));
        QTest::mouseMove(w.txtChat()->viewport());
        QTest::mouseMove(w.findChild<QListView *>(QStringLiteral("lstUser"))->viewport());
        QTest::mouseMove(buttonNamed(w, "cmdExit"));
        QTRY_VERIFY(bold("cmdExit"));
        QVERIFY(bold("cmdSend"));
        QCOMPARE(w.hoverState().isBold(1), true);

        QTest::mouseMove(&w, bare);
        QTRY_VERIFY(!bold("cmdSend"));
        for (const char *name : ButtonNames)
            QVERIFY2(!bold(name), name);
    }

    void onlyTheLeftButtonOnTheBackgroundAndLabelsDrags()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        showAndWait(w);
        auto pressOn = [&](QWidget *target, Qt::MouseButton button, QPoint at = QPoint()) {
            profile.drags.clear();
            QTest::mousePress(target, button, {}, at);
            // Let go outside, so that a pressed button does not fire.
            QTest::mouseRelease(target, button, {}, QPoint(-3, -3));
            return profile.drags.size();
        };
        const QPoint bare = backgroundPoint(w);
        for (const char *name : {"Label1", "Label2", "lblChan", "lblChanCnt"}) {
            QCOMPARE(pressOn(labelNamed(w, name), Qt::LeftButton), 1);
            QCOMPARE(profile.drags.value(0), static_cast<QWidget *>(&w));
            QCOMPARE(pressOn(labelNamed(w, name), Qt::RightButton), 0);
            QCOMPARE(pressOn(labelNamed(w, name), Qt::MiddleButton), 0);
        }
        QCOMPARE(pressOn(&w, Qt::LeftButton, bare), 1);
        QCOMPARE(pressOn(&w, Qt::RightButton, bare), 0);
        QCOMPARE(pressOn(buttonNamed(w, "cmdConnect"), Qt::LeftButton), 0);
        QCOMPARE(pressOn(w.txtChat()->viewport(), Qt::LeftButton), 0);
        QCOMPARE(pressOn(w.txtChat2()->viewport(), Qt::LeftButton), 0);
        QCOMPARE(pressOn(w.findChild<QListView *>(QStringLiteral("lstUser"))->viewport(), Qt::LeftButton), 0);
        QVERIFY(!w.session().isActive());
    }

    void rosterRightButtonPopsTheMenu()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        showAndWait(w);
        auto *list = w.findChild<QListView *>(QStringLiteral("lstUser"));
        auto *menu = w.findChild<QMenu *>(QStringLiteral("lstMenu"));
        QVERIFY(list && menu);
        w.session().roster().addUser(QStringLiteral("Ann"), QStringLiteral("[STAR]"), 0);
        w.session().roster().addUser(QStringLiteral("Bob"), QStringLiteral("[CHAT]"), 0);
        const QPoint ann = list->visualRect(list->model()->index(0, 0)).center();
        const QPoint bob = list->visualRect(list->model()->index(1, 0)).center();

        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, ann);
        QCOMPARE(w.session().selName(), QStringLiteral("Ann"));
        QVERIFY(!menu->isVisible());

        QTest::mousePress(list->viewport(), Qt::RightButton, {}, bob);
        QTRY_VERIFY(menu->isVisible());
        QCOMPARE(w.session().selName(), QStringLiteral("Ann"));   // the menu acts on the last click
        QCOMPARE(menu->actions().first()->objectName(), QStringLiteral("mWhois"));
        menu->close();
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, bob);
        QTRY_VERIFY(!menu->isVisible());
    }

    void connectButtonRunsTheLoginDialogThenTheConnection()
    {
        ShellProfile profile;
        ScriptedGateway gateway;
        QVERIFY(gateway.listen());
        MainWindow w(profile.prompts());
        showAndWait(w);
        w.session().setPortForTesting(gateway.port());

        onModal([](QWidget *dialog) {
            QCOMPARE(dialog->objectName(), QStringLiteral("frmLogin"));
            auto *login = dialog->findChild<QPushButton *>(QStringLiteral("cmdLogin"));
            QVERIFY(login);
            login->click();
        });
        QTest::mouseClick(buttonNamed(w, "cmdConnect"), Qt::LeftButton);
        QVERIFY(!QApplication::activeModalWidget());
        QCOMPARE(buttonNamed(w, "cmdConnect")->text(), QStringLiteral("&Disconnect"));
        // The connection may have come up while the dialog was closing.
        QVERIFY(gateway.clientCount() == 1 || gateway.waitForClient());
        QVERIFY(gateway.waitForReceivedEnding("\r\nWanderers\r\n"));
        QVERIFY(w.txtChat()->toPlainText().startsWith(QLatin1String("Connecting to 127.0.0.1...")));

        // Enter in the input line sends.
        gateway.take();
        w.txtSend()->setFocus();
        QTest::keyClicks(w.txtSend(), QStringLiteral("/join Elsewhere"));
        QTest::keyClick(w.txtSend(), Qt::Key_Return);
        QVERIFY(gateway.waitForReceivedEnding("/join Elsewhere\r"));
        QCOMPARE(gateway.take(), QByteArray("/join Elsewhere\r"));

        // Pressed again it ends the connection for good.
        QTest::mouseClick(buttonNamed(w, "cmdConnect"), Qt::LeftButton);
        QCOMPARE(buttonNamed(w, "cmdConnect")->text(), QStringLiteral("&Connect"));
        QVERIFY(w.txtChat()->toPlainText().contains(QLatin1String("Disconnected.")));
        QCOMPARE(gateway.clientCount(), 1);

        // Cancel in the dialog connects nothing.
        onModal([](QWidget *dialog) {
            dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        });
        QTest::mouseClick(buttonNamed(w, "cmdConnect"), Qt::LeftButton);
        QCOMPARE(buttonNamed(w, "cmdConnect")->text(), QStringLiteral("&Connect"));
        QTest::qWait(50);
        QCOMPARE(gateway.clientCount(), 1);
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
