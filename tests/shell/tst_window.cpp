// The main window: start-up, the connection's caption, title and channel
// label, the exit question through the button and the window system alike
// with a quiet end while connected, and the pointer: hover, window moving,
// the roster menu and the send menu; the window's place on the screen.

#define QTEST_QPA_MOUSE_HANDLING   // real pointer routing: enter events and the widget under the pointer

#include "GatewaySessionTest.h"
#include "ShellProfile.h"
#include "chat/TranscriptPane.h"
#include "outgoing/AntiIdle.h"
#include "outgoing/InputLine.h"
#include "settings/DialogSettings.h"
#include "shell/MainWindow.h"

#include <QApplication>
#include <QDialog>
#include <QScreen>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QTimer>

using Stage = AntiIdle::Stage;

class TestWindow : public GatewaySessionTest
{
    Q_OBJECT
    std::optional<ShellProfile> profile;

    std::unique_ptr<MainWindow> shownWindow()
    {
        auto w = std::make_unique<MainWindow>(profile->prompts());
        w->session().setPortForTesting(gateway->port());
        w->show();
        QTest::qVerify(QTest::qWaitForWindowExposed(w.get()), "exposed", "", __FILE__, __LINE__);
        return w;
    }
    // The caption of cmdConnect, the title and lblChan, in one text.
    static QString chrome(QWidget &w)
    {
        return w.findChild<QPushButton *>("cmdConnect")->text() + " | " + w.windowTitle() + " | "
            + w.findChild<QLabel *>("lblChan")->text();
    }

private slots:
    void init()
    {
        GatewaySessionTest::init();
        profile.emplace();
        QApplication::setQuitOnLastWindowClosed(false);
    }

    void startUpArmsAntiIdleOnlyWhenItIsOn()
    {
        for (const bool on : {true, false}) {
            ShellProfile::put("AntiIdle", on ? "1" : "0");
            MainWindow w(profile->prompts());
            QCOMPARE(w.antiIdle().stage(), on ? Stage::First : Stage::Off);
            QCOMPARE(w.settings().server(), QStringLiteral("127.0.0.1"));
            // Idle: nothing connects until the user asks.
            QCOMPARE(chrome(w), QStringLiteral("&Connect | Quillon  v2.2 | (Not logged on)"));
        }
    }

    void theChromeFollowsTheConnection()
    {
        ShellProfile::put("AutoReconnect", "1");
        auto w = shownWindow();
        QTimer::singleShot(0, [] { QApplication::activeModalWidget()->findChild<QPushButton *>("cmdLogin")->click(); });
        QTest::mouseClick(w->findChild<QWidget *>("cmdConnect"), Qt::LeftButton);
        QCOMPARE(chrome(*w), QStringLiteral("&Disconnect | Quillon  v2.2 | (Not logged on)"));
        QVERIFY(logOn(w->session()));
        QCOMPARE(chrome(*w), QStringLiteral("&Disconnect | Quillon v2.2 - bob | Lobby"));
        // Enter in the input line sends.
        QTest::keyClicks(w->txtSend(), "/join Elsewhere");
        QTest::keyClick(w->txtSend(), Qt::Key_Return);
        QCOMPARE(wireUpToMarker(w->session()), QByteArray("/join Elsewhere\r"));
        // The server closes and the reconnection starts at once.
        gateway->dropClient();
        QTRY_COMPARE(chrome(*w), QStringLiteral("&Disconnect | Quillon v2.2 | (Not logged on)"));
        QCOMPARE(w->findChild<QLabel *>("lblChanCnt")->text(), QStringLiteral("0"));
        QVERIFY(logOn(w->session(), "ann"));
        QCOMPARE(w->windowTitle(), QStringLiteral("Quillon v2.2 - ann"));
        // The button ends it for good.
        QTest::mouseClick(w->findChild<QWidget *>("cmdConnect"), Qt::LeftButton);
        QTest::qWait(50);
        QCOMPARE(chrome(*w), QStringLiteral("&Connect | Quillon v2.2 | (Not logged on)"));
        QCOMPARE(gateway->clientCount(), 2);
    }

    void exitAsksFirstAndEndsQuietly_data()
    {
        QTest::addColumn<bool>("viaButton");
        QTest::addColumn<bool>("yes");
        for (const bool viaButton : {true, false})
            for (const bool yes : {false, true})
                QTest::addRow("%s, %s", viaButton ? "cmdExit" : "close request", yes ? "Yes" : "No") << viaButton << yes;
    }
    void exitAsksFirstAndEndsQuietly()
    {
        QFETCH(bool, viaButton);
        QFETCH(bool, yes);
        profile->answerYes = yes;
        ShellProfile::put("AntiIdle", "1");
        auto w = shownWindow();
        QVERIFY(logOn(w->session()));
        w->settings().setHomeChan("Elsewhere");   // only SaveSettings stores it
        const QString transcript = w->txtChat()->toPlainText();
        viaButton ? QTest::mouseClick(w->findChild<QWidget *>("cmdExit"), Qt::LeftButton) : void(w->close());
        QCOMPARE(profile->exitQuestions, 1);
        QCOMPARE(w->isVisible(), !yes);
        QCOMPARE(ShellProfile::stored("HomeChan"), yes ? QStringLiteral("Elsewhere") : QStringLiteral("Bounty Hunters"));
        // No leaves everything running; Yes lets no idle line out any more.
        QCOMPARE(w->antiIdle().stage(), yes ? Stage::Off : Stage::First);
        QVERIFY(w->session().isConnected());
        QCOMPARE(w->txtChat()->toPlainText(), transcript);
        // The connection ends with the program, without a last word.
        QPointer<QTcpSocket> client = gateway->client();
        w.reset();
        QTRY_VERIFY(!client || client->state() != QAbstractSocket::ConnectedState);
        QCOMPARE(gateway->received(), QByteArray());
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
        profile->answerYes = true;
        auto w = shownWindow();
        QTimer::singleShot(0, [&] {     // as soon as the dialog's event loop runs
            QWidget *dialog = QApplication::activeModalWidget();
            w->close();
            // Should the dialog stay, free the test instead of hanging it.
            QTimer::singleShot(2000, dialog, [dialog] { dialog->close(); });
        });
        QTest::mouseClick(w->findChild<QPushButton *>(button), Qt::LeftButton);
        QVERIFY(!w->isVisible() && !QApplication::activeModalWidget() && !w->findChild<QDialog *>());
        QVERIFY(!w->settings().loginExists() && !w->settings().optionsExists());
    }

    // The last place comes back when it fits the screen; otherwise the
    // window opens centred, never larger than the screen. Exit stores it.
    void theWindowOpensOnTheScreenWhereItWas_data()
    {
        const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
        QRect centred(QPoint(), QSize(780, 540).boundedTo(area.size()));
        centred.moveCenter(area.center());
        QTest::addColumn<QRect>("stored");
        QTest::addColumn<QRect>("opened");
        QTest::newRow("none") << QRect() << centred;
        QTest::newRow("fits") << QRect(area.topLeft() + QPoint(5, 6), QSize(600, 400)) << QRect(area.topLeft() + QPoint(5, 6), QSize(600, 400));
        QTest::newRow("too big") << area.adjusted(0, 0, 10, 10) << centred;
        QTest::newRow("off the screen") << QRect(area.topRight() - QPoint(100, 0), QSize(600, 400)) << centred;
    }
    void theWindowOpensOnTheScreenWhereItWas()
    {
        QFETCH(QRect, stored);
        QFETCH(QRect, opened);
        const QStringList names{"Left", "Top", "Width", "Height"};
        const int values[4] = {stored.x(), stored.y(), stored.width(), stored.height()};
        for (int i = 0; i < 4 && stored.isValid(); ++i)
            Registry::WriteRegString(Registry::Hive::CurrentUser, UserFile::SubKey, "Window/" + names[i], QString::number(values[i]));
        profile->answerYes = true;
        MainWindow w(profile->prompts());
        QCOMPARE(w.geometry(), opened);
        w.move(opened.topLeft() + QPoint(1, 2));
        w.close();
        QCOMPARE(Registry::ReadRegString(Registry::Hive::CurrentUser, UserFile::SubKey, "Window/Top"), QString::number(opened.y() + 2));
    }

    void pointerHoverDragAndRosterMenu()
    {
        auto w = shownWindow();
        const QPoint bare(3, 3);   // the window's margin
        // Hover: bold until the pointer crosses the bare background; labels,
        // panes and the roster are not the background.
        auto bold = [&](const char *name) { return w->findChild<QWidget *>(name)->font().bold(); };
        for (const char *name : {"cmdSend", "Label1", "txtChat", "lstUser", "cmdExit"})
            QTest::mouseMove(w->findChild<QWidget *>(name));
        QTRY_VERIFY(bold("cmdSend") && bold("cmdExit") && !bold("cmdConnect"));
        QTest::mouseMove(w.get(), bare);
        QTRY_VERIFY(!bold("cmdSend") && !bold("cmdExit"));
        // Only the left button on the background and the labels moves the window.
        auto drags = [&](const char *name, Qt::MouseButton button) {
            QWidget *target = name ? w->findChild<QWidget *>(name) : w.get();
            profile->drags.clear();
            QTest::mousePress(target, button, {}, name ? QPoint() : bare);
            QTest::mouseRelease(target, button, {}, QPoint(-3, -3));   // outside: no click
            return profile->drags == QList<QWidget *>{w.get()};
        };
        for (const char *name : {"Label1", "Label2", "lblChan", "lblChanCnt", static_cast<const char *>(nullptr)})
            QVERIFY(drags(name, Qt::LeftButton) && !drags(name, Qt::RightButton));
        QVERIFY(!drags("cmdConnect", Qt::LeftButton) && !drags("txtChat", Qt::LeftButton) && !drags("lstUser", Qt::LeftButton));
        // The roster's right button selects the entry under the pointer and
        // pops its menu for it.
        auto *list = w->findChild<QListView *>("lstUser");
        list->viewport()->repaint();
        w->session().roster().addUser("Ann", "[STAR]", 0);
        w->session().roster().addUser("Bob", "[CHAT]", 0);
        QTRY_VERIFY(list->updatesEnabled());   // a burst of changes holds its painting only a while
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualRect(list->model()->index(0, 0)).center());
        const QPoint bob = list->visualRect(list->model()->index(1, 0)).center();
        QTest::mousePress(list->viewport(), Qt::RightButton, {}, bob);
        QTRY_VERIFY(w->findChild<QWidget *>("lstMenu")->isVisible());
        QCOMPARE(w->session().selName(), QStringLiteral("Bob"));
        QCOMPARE(list->currentIndex().row(), 1);
        w->findChild<QWidget *>("lstMenu")->close();
        QTest::mouseRelease(list->viewport(), Qt::RightButton, {}, bob);
        // Shift+F10 opens it for the row chosen with the keys.
        QTest::keyClick(list, Qt::Key_Up);
        QTest::keyClick(list, Qt::Key_F10, Qt::ShiftModifier);
        QTRY_VERIFY(w->findChild<QWidget *>("lstMenu")->isVisible());
        QCOMPARE(w->session().selName(), QStringLiteral("Ann"));
        w->findChild<QWidget *>("lstMenu")->close();
        // "&Send" pops its menu.
        QTest::mouseClick(w->findChild<QWidget *>("cmdSend"), Qt::LeftButton);
        QTRY_VERIFY(w->findChild<QWidget *>("sndMenu")->isVisible());
    }
};

QTEST_MAIN(TestWindow)
#include "tst_window.moc"
