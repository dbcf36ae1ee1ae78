// The dialogs' live settings: server list, preselection, the lifecycle of the
// two states, the anti-idle and font-size hooks, and the dialog widgets.

#include "TempStores.h"

#include "settings/DialogSettings.h"
#include "settings/LoginDialog.h"
#include "settings/OptionsDialog.h"
#include "settings/ServerList.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

struct HookLog
{
    int initAI = 0;
    int stopAI = 0;
    int logins = 0;
    QList<int> fontSizes;
    QStringList problems;
    QString serverAtLogin;

    SettingsHooks hooks(DialogSettings **owner = nullptr)
    {
        SettingsHooks h;
        h.initAI = [this] { ++initAI; };
        h.stopAI = [this] { ++stopAI; };
        h.setChatFontSize = [this](int size) { fontSizes << size; };
        h.reportProblem = [this](const QString &text) { problems << text; };
        h.login = [this, owner] {
            ++logins;
            if (owner && *owner)
                serverAtLogin = (*owner)->server();
        };
        return h;
    }
};

// The focusable children of a dialog in tab order, starting at `first`.
QStringList tabOrder(QWidget *first, int count)
{
    QStringList names;
    for (QWidget *w = first; names.size() < count; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty()
            && w->objectName().startsWith(QLatin1String("qt_")) == false)
            names << w->objectName();
    }
    return names;
}

// Runs `act` on the modal dialog once it is on screen.
void whenShown(std::function<void(QWidget *)> act)
{
    QTimer::singleShot(0, [act] {
        QWidget *dialog = QApplication::activeModalWidget();
        QVERIFY(dialog);
        act(dialog);
    });
}

} // namespace

class TestDialogSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void serverList_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QStringList>("entries");
        QTest::newRow("three") << "a.example;b.example;10.0.0.1"
                               << QStringList{"a.example", "b.example", "10.0.0.1"};
        QTest::newRow("trailing ;") << "a.example;b.example;" << QStringList{"a.example", "b.example", ""};
        QTest::newRow("no ;") << "only.example" << QStringList{"only.example"};
        QTest::newRow("empty") << "" << ServerList::builtIn();
    }
    void serverList()
    {
        QFETCH(QString, stored);
        QFETCH(QStringList, entries);
        TempStores stores;
        stores.putServerList(stored);
        DialogSettings settings({});
        QCOMPARE(settings.loginForm().cmbServers, entries);
        settings.InitServ();
        settings.InitServ();
        QCOMPARE(settings.loginForm().cmbServers, entries);   // refilled, not appended
        QCOMPARE(settings.loginForm().selected, 0);
    }

    void builtInListIsNineAddressesThenFiveHosts()
    {
        TempStores stores;   // no "Server List" at all
        const QStringList list = ServerList::builtIn();
        QCOMPARE(list.size(), 14);
        for (int i = 0; i < 14; ++i)
            QCOMPARE(QHostAddress(list[i]).protocol() == QAbstractSocket::IPv4Protocol, i < 9);
        DialogSettings settings({});
        QCOMPARE(settings.loginForm().cmbServers, list);
        QCOMPARE(settings.loginForm().selected, 10);   // the default server, entry 11
        QCOMPARE(settings.server(), list[10]);
    }

    void preselection_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<int>("selected");
        QTest::newRow("last of equal entries") << "x.example" << 3;
        QTest::newRow("case differs") << "Y.example" << 0;
        QTest::newRow("not listed") << "z.example" << 0;
    }
    void preselection()
    {
        QFETCH(QString, server);
        QFETCH(int, selected);
        TempStores stores;
        stores.putServerList(QStringLiteral("a.example;x.example;y.example;x.example"));
        stores.put(QStringLiteral("Server"), server);
        DialogSettings settings({});
        settings.InitServ();
        settings.LoadSettings();
        QCOMPARE(settings.loginForm().selected, selected);
        QCOMPARE(stores.stored(QStringLiteral("Server")), server);   // loading keeps it
    }

    void firstRunShowsTheDefaults()
    {
        TempStores stores;
        HookLog log;
        DialogSettings settings(log.hooks());
        settings.InitServ();
        settings.LoadSettings();
        QCOMPARE(settings.userName(), QStringLiteral("Anonymous"));
        QCOMPARE(settings.password(), QStringLiteral("Wanderers"));
        QCOMPARE(settings.server(), ServerList::defaultServer());
        QCOMPARE(settings.homeChan(), QStringLiteral("Bounty Hunters"));
        QVERIFY(settings.antiIdle() && settings.joinLeave() && settings.autoReconnect());
        QCOMPARE(settings.idleMessage(), QStringLiteral("/w anonymous Anti-Idle Quillon 2.2"));
        QCOMPARE(log.initAI, 1);
        QCOMPARE(settings.optionsForm().scrFSize, 8);
    }

    void flagsOnlyCheckOnOne()
    {
        TempStores stores;
        stores.put(QStringLiteral("AntiIdle"), QStringLiteral("yes"));
        stores.put(QStringLiteral("JoinLeave"), QStringLiteral("2"));
        stores.put(QStringLiteral("AutoReconnect"), QStringLiteral(" 1"));
        HookLog log;
        DialogSettings settings(log.hooks());
        QVERIFY(!settings.antiIdle() && !settings.joinLeave() && !settings.autoReconnect());
        QCOMPARE(log.initAI + log.stopAI, 0);
        settings.SaveSettings();
        QCOMPARE(stores.stored(QStringLiteral("JoinLeave")), QStringLiteral("0"));
    }

    void cancelDropsEditsAndReadersSeeTheStore()
    {
        TempStores stores;
        DialogSettings settings({});
        settings.LoadSettings();
        const QByteArray before = stores.bytes(stores.machineFile());
        settings.setUserName(QStringLiteral("edited"));
        settings.setHomeChan(QStringLiteral("edited"));
        settings.closeLogin();
        settings.closeOptions();
        QVERIFY(!settings.loginExists() && !settings.optionsExists());
        QCOMPARE(settings.userName(), QStringLiteral("Anonymous"));   // re-created from the store
        QCOMPARE(settings.homeChan(), QStringLiteral("Bounty Hunters"));
        settings.SaveSettings();   // the connect button's save and reload
        settings.LoadSettings();
        QCOMPARE(stores.bytes(stores.machineFile()), before);
    }

    void antiIdleBoxDrivesTheHooks()
    {
        TempStores stores;
        HookLog log;
        DialogSettings settings(log.hooks());
        settings.LoadSettings();
        QCOMPARE(log.initAI, 1);
        settings.setAntiIdleChecked(false);   // acts at once, saved or not
        QCOMPARE(log.stopAI, 1);
        settings.closeOptions();
        QCOMPARE(stores.stored(QStringLiteral("AntiIdle")), QStringLiteral("1"));
        QCOMPARE(log.initAI, 1);
        settings.idleMessage();               // a reader re-creates the state
        QCOMPARE(log.initAI, 2);

        stores.put(QStringLiteral("AntiIdle"), QStringLiteral("0"));
        settings.closeOptions();
        settings.antiIdle();
        QCOMPARE(log.initAI, 2);
        QCOMPARE(log.stopAI, 1);
    }

    void saveKeepsWhatBothStatesHeldAcrossARecreation()
    {
        TempStores stores;
        HookLog log;
        DialogSettings settings(log.hooks());
        settings.LoadSettings();
        settings.setAutoReconnect(false);     // in memory only
        QCOMPARE(stores.stored(QStringLiteral("AutoReconnect")), QStringLiteral("1"));
        settings.setIdleMessage(QStringLiteral("kept"));
        settings.closeLogin();
        settings.SaveSettings();              // re-creates the login state
        QCOMPARE(stores.stored(QStringLiteral("AutoReconnect")), QStringLiteral("0"));
        QCOMPARE(stores.stored(QStringLiteral("IdleMessage")), QStringLiteral("kept"));
        QVERIFY(!settings.existingOptions()->chkRC);

        settings.setUserName(QStringLiteral("Ren"));
        settings.closeOptions();
        settings.SaveSettings();              // re-creates the options state
        QCOMPARE(stores.stored(QStringLiteral("UserName")), QStringLiteral("Ren"));
        QCOMPARE(log.initAI, 2);              // the new options state checked its box again
    }

    void confirmingAnEmptyFieldResetsOnlyThatField()
    {
        TempStores stores;
        HookLog log;
        DialogSettings *owner = nullptr;
        DialogSettings settings(log.hooks(&owner));
        owner = &settings;
        settings.LoadSettings();
        settings.setUserName(QString());
        settings.setPassword(QStringLiteral("newpass"));
        settings.selectServer(2);
        settings.confirmLogin();
        QCOMPARE(log.logins, 1);
        QCOMPARE(log.serverAtLogin, ServerList::builtIn().at(2));
        QCOMPARE(stores.stored(QStringLiteral("UserName")), QStringLiteral("Anonymous"));
        QCOMPARE(stores.stored(QStringLiteral("PassWord")), QStringLiteral("newpass"));
        QVERIFY(!settings.loginExists());

        settings.setIdleMessage(QString());
        settings.confirmOptions();
        QCOMPARE(settings.idleMessage(), QStringLiteral("/w anonymous Anti-Idle Quillon 2.2"));
        QCOMPARE(settings.password(), QStringLiteral("newpass"));
    }

    void fontSizeControl()
    {
        TempStores stores;
        HookLog log;
        DialogSettings settings(log.hooks());
        OptionsDialog dialog(settings);
        auto *bar = dialog.findChild<QScrollBar *>(QStringLiteral("scrFSize"));
        auto *label = dialog.findChild<QLabel *>(QStringLiteral("lblFSize"));
        QCOMPARE(bar->orientation(), Qt::Vertical);
        QCOMPARE(bar->minimum(), 5);
        QCOMPARE(bar->maximum(), 20);
        QCOMPARE(bar->singleStep(), 1);
        QCOMPARE(bar->pageStep(), 1);
        QCOMPARE(bar->value(), 8);
        QCOMPARE(label->text(), QStringLiteral("8"));
        bar->setValue(12);
        QCOMPARE(label->text(), QStringLiteral("12"));
        QCOMPARE(log.fontSizes, QList<int>{12});
        settings.setFontSize(40);
        QCOMPARE(bar->value(), 20);
        settings.closeOptions();
        QCOMPARE(settings.optionsForm().scrFSize, 8);     // each creation starts at 8
        QCOMPARE(log.fontSizes, (QList<int>{12, 20}));    // and does not resize the pane
    }

    void loginDialogLayout()
    {
        TempStores stores;
        DialogSettings settings({});
        QWidget styledParent;   // the main window has a style sheet of its own
        styledParent.setStyleSheet(QStringLiteral("QPushButton#cmdConnect { color: #000000; }"));
        LoginDialog dialog(settings, &styledParent);
        QCOMPARE(dialog.objectName(), QStringLiteral("frmLogin"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Login"));
        QVERIFY(!dialog.findChild<QComboBox *>(QStringLiteral("cmbServers"))->isEditable());
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("txtPassW"))->echoMode(), QLineEdit::Password);
        dialog.show();
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("txtPassW"))->displayText(), QStringLiteral("*********"));
        QCOMPARE(dialog.findChild<QLineEdit *>(QStringLiteral("txtUserN"))->text(), QStringLiteral("Anonymous"));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("cmdLogin"))->text(), QStringLiteral("&Login"));
        QCOMPARE(dialog.findChild<QPushButton *>(QStringLiteral("cmdCancel"))->text(), QStringLiteral("&Cancel"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblUserN"))->text(), QStringLiteral("Username:"));
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("lblPassW"))->text(), QStringLiteral("Password:"));
        QCOMPARE(tabOrder(dialog.findChild<QWidget *>(QStringLiteral("cmbServers")), 5),
                 (QStringList{"cmbServers", "txtUserN", "txtPassW", "cmdLogin", "cmdCancel"}));
    }

    void optionsDialogLayout()
    {
        TempStores stores;
        DialogSettings settings({});
        OptionsDialog dialog(settings);
        QCOMPARE(dialog.objectName(), QStringLiteral("frmOptions"));
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Options"));
        const QList<std::pair<const char *, const char *>> captions = {
            {"chkAI", "&Anti-Idle"}, {"cmdSave", "&Save"}, {"cmdCanc", "&Cancel"},
            {"chkUJ", "User Join/Leave Notify"}, {"chkRC", "Auto &Reconnect"},
            {"lblHomeChan", "Home Channel:"}, {"lblFontSize", "Window Font Size"},
            {"lblIdle", "Idle Message:"}};
        for (const auto &[name, text] : captions) {
            QObject *o = dialog.findChild<QObject *>(QLatin1String(name));
            QVERIFY2(o, name);
            QCOMPARE(o->property("text").toString(), QLatin1String(text));
        }
        QCOMPARE(tabOrder(dialog.findChild<QWidget *>(QStringLiteral("chkAI")), 8),
                 (QStringList{"chkAI", "txtHomeChan", "cmdSave", "cmdCanc", "chkUJ", "chkRC",
                              "scrFSize", "txtIdle"}));
    }

    void loginDialogRunsModally()
    {
        TempStores stores;
        HookLog log;
        DialogSettings settings(log.hooks());
        settings.LoadSettings();
        whenShown([](QWidget *dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txtUserN")), QStringLiteral("2"));
            dialog->findChild<QPushButton *>(QStringLiteral("cmdCancel"))->click();
        });
        QCOMPARE(settings.execLoginDialog(nullptr), int(QDialog::Rejected));
        QVERIFY(!settings.loginExists());
        QCOMPARE(settings.userName(), QStringLiteral("Anonymous"));

        whenShown([](QWidget *dialog) {
            QTest::keyClicks(dialog->findChild<QLineEdit *>(QStringLiteral("txtUserN")), QStringLiteral("2"));
            dialog->findChild<QPushButton *>(QStringLiteral("cmdLogin"))->click();
        });
        QCOMPARE(settings.execLoginDialog(nullptr), int(QDialog::Accepted));
        QCOMPARE(log.logins, 1);
        QVERIFY(!settings.loginExists());
        QCOMPARE(stores.stored(QStringLiteral("UserName")), QStringLiteral("Anonymous2"));
    }

    void optionsDialogRunsModally()
    {
        TempStores stores;
        HookLog log;
        DialogSettings settings(log.hooks());
        settings.LoadSettings();
        whenShown([&log](QWidget *dialog) {
            dialog->findChild<QCheckBox *>(QStringLiteral("chkAI"))->click();
            QCOMPARE(log.stopAI, 1);   // before any save
            dialog->findChild<QPushButton *>(QStringLiteral("cmdCanc"))->click();
        });
        QCOMPARE(settings.execOptionsDialog(nullptr), int(QDialog::Rejected));
        QCOMPARE(stores.stored(QStringLiteral("AntiIdle")), QStringLiteral("1"));

        whenShown([](QWidget *dialog) {
            dialog->findChild<QCheckBox *>(QStringLiteral("chkUJ"))->click();
            dialog->findChild<QPushButton *>(QStringLiteral("cmdSave"))->click();
        });
        QCOMPARE(settings.execOptionsDialog(nullptr), int(QDialog::Accepted));
        QCOMPARE(stores.stored(QStringLiteral("JoinLeave")), QStringLiteral("0"));
        QVERIFY(!settings.optionsExists());
    }
};

QTEST_MAIN(TestDialogSettings)
#include "tst_dialog_settings.moc"
