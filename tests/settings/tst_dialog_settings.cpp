// The dialogs' live settings: the stored values in both states with odd
// flags, the lifecycle of the two states, the credentials at logon, the
// anti-idle and font-size hooks, and the dialogs' fields. Opening them from
// the window is covered in tst_window.

#include "TempStores.h"

#include "settings/DialogSettings.h"
#include "settings/LoginDialog.h"
#include "settings/OptionsDialog.h"
#include "settings/ServerList.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTest>

// Live settings over temporary stores, with hooks that keep count.
struct Live : TempStores
{
    int initAI = 0, stopAI = 0;   // calls of each hook
    QList<int> fontSizes;
    QStringList logins;   // server, name and password of each logon
    DialogSettings s{{[this] { ++initAI; }, [this] { ++stopAI; }, [this](int size) { fontSizes << size; }, {},
                      [this] { logins << s.server() + ' ' + s.userName() + ' ' + s.password(); }}};
};

// Every field of both states, the five switches last as "1" or "0" each.
static QString fields(DialogSettings &d)
{
    QString text = QStringList({d.server(), d.userName(), d.password(), d.homeChan(), d.idleMessage(),
                                QString::number(d.scrollbackLines()), QString()}).join('|');
    for (bool on : {d.antiIdle(), d.joinLeave(), d.autoReconnect(), d.continuousLog(), d.notifications()})
        text += on ? '1' : '0';
    return text;
}

template<typename Widget>
static Widget *child(QWidget *dialog, const char *name)
{
    return dialog->findChild<Widget *>(QLatin1String(name));
}

class TestDialogSettings : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Each stored value reaches its field; flags are read as whole numbers
    // and saved back as "1" or "0", the other values as they were. "&Login"
    // with the name emptied logs on as the default account with its default
    // password: the one stored or typed for the old name never goes there.
    void storedValuesFillBothStatesAndAnEmptiedNameTakesThePassword()
    {
        Live live;
        const QStringList names{"Server", "UserName", "PassWord", "HomeChan", "IdleMessage", "ScrollbackLines",
                                "AntiIdle", "JoinLeave", "AutoReconnect", "ContinuousLog", "Notifications"};
        const QStringList texts{"sea.battle.net", "Ren", "pw", "Clan Ash", "brb", "5000", "01", " 1", "yes", "2", "0"};
        for (int i = 0; i < names.size(); ++i)
            live.put(names[i], texts[i]);
        QCOMPARE(fields(live.s), QStringLiteral("sea.battle.net|Ren|pw|Clan Ash|brb|5000|11010"));
        QCOMPARE(live.initAI, 1);
        live.s.SaveSettings();
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(live.stored(names[i]), i < 6 ? texts[i] : QString("11010"[i - 6]));
        live.s.setUserName(QString());
        live.s.setPassword(QStringLiteral("Ren's secret"));
        live.s.selectServer(2);
        live.s.confirmLogin();
        QCOMPARE(live.logins, QStringList{ServerList::builtIn().at(2) + QStringLiteral(" Anonymous Wanderers")});
        QCOMPARE(live.stored(QStringLiteral("PassWord")), QStringLiteral("Wanderers"));
    }

    // Closing drops unsaved edits; the next reader re-creates the state from
    // the store, which checks the anti-idle box (and starts anti-idle) again.
    // A save keeps what both states hold, re-creating a closed one first.
    void closedStatesAreReadAgainAndSavesKeepBoth()
    {
        Live live;
        live.s.LoadSettings();
        const QString loaded = fields(live.s);
        const QByteArray before = live.bytes(live.machineFile());
        live.s.setUserName(QStringLiteral("edited"));
        live.s.setScrollbackLines(5000);
        live.s.setFlag("AntiIdle", false);   // acts at once, saved or not
        QCOMPARE(live.stopAI, 1);
        live.s.closeLogin();
        live.s.closeOptions();
        QVERIFY(!live.s.loginExists() && !live.s.optionsExists());
        QCOMPARE(fields(live.s), loaded);
        QCOMPARE(live.initAI, 2);
        live.s.SaveSettings();   // the connect button's save and reload
        live.s.LoadSettings();
        QCOMPARE(live.bytes(live.machineFile()), before);

        live.s.setFlag("AutoReconnect", false);   // in memory only
        QCOMPARE(live.stored(QStringLiteral("AutoReconnect")), QStringLiteral("1"));
        live.s.setText("IdleMessage", QStringLiteral("kept"));
        live.s.closeLogin();
        live.s.SaveSettings();              // re-creates the login state
        QCOMPARE(live.stored("AutoReconnect") + live.stored("IdleMessage"), QStringLiteral("0kept"));
        live.s.setUserName(QStringLiteral("Ren"));
        live.s.closeOptions();
        live.s.SaveSettings();              // re-creates the options state
        QCOMPARE(live.stored(QStringLiteral("UserName")), QStringLiteral("Ren"));
        QCOMPARE(live.initAI, 3);      // the new options state checked its box again
    }

    void dialogsDriveTheFields()
    {
        Live live;
        QWidget styledParent;   // the main window has a style sheet of its own
        styledParent.setStyleSheet(QStringLiteral("QPushButton#cmdConnect { color: #000000; }"));
        LoginDialog login(live.s, &styledParent);
        login.show();
        QCOMPARE(child<QLineEdit>(&login, "txtPassW")->displayText(), QStringLiteral("*********"));
        {
            OptionsDialog dialog(live.s);
            auto *bar = child<QScrollBar>(&dialog, "scrFSize");
            bar->setValue(12);
            QCOMPARE(child<QLabel>(&dialog, "lblFSize")->text(), QStringLiteral("12"));
            live.s.setFontSize(40);
            QCOMPARE(bar->value(), 20);
            child<QCheckBox>(&dialog, "chkAI")->click();
            QCOMPARE(live.stopAI, 1);   // at once, before any save
            child<QCheckBox>(&dialog, "chkUJ")->click();
            child<QSpinBox>(&dialog, "spnScrollback")->setValue(50000);
            child<QCheckBox>(&dialog, "chkLog")->click();
            child<QCheckBox>(&dialog, "chkNotify")->click();
            QTest::keyClick(child<QComboBox>(&dialog, "cmbEncoding"), Qt::Key_Down);
        }
        live.s.confirmOptions();
        QCOMPARE(live.s.optionsForm().scrFSize, 8);   // each creation starts at 8
        QCOMPARE(live.fontSizes, (QList<int>{12, 20}));  // and leaves the pane alone
        DialogSettings nextRun({});
        QVERIFY2(fields(nextRun).endsWith(QLatin1String("|50000|00100")), qPrintable(fields(nextRun)));
        QCOMPARE(nextRun.encoding("TextEncoding"), QStringLiteral("windows-1252"));
        nextRun.setScrollbackLines(5);
        QCOMPARE(nextRun.scrollbackLines(), 1000);
    }

    // The server field takes a typed host and port; a server that logged on
    // goes to the top of the list (once, in any case, ten at most) and is
    // kept beside the classic values, which keep their meaning.
    void typedAndRememberedServers()
    {
        Live live;
        {
            LoginDialog dialog(live.s);
            QTest::keyClicks(child<QComboBox>(&dialog, "cmbServers")->lineEdit(), QStringLiteral("x"));
            QCOMPARE(live.s.server(), ServerList::defaultServer() + 'x');
            child<QComboBox>(&dialog, "cmbServers")->setEditText(QString());
            QTest::keyClicks(child<QComboBox>(&dialog, "cmbServers")->lineEdit(), QStringLiteral("chat.example:6200"));
        }
        live.s.confirmLogin();
        QCOMPARE(live.logins.first(), QStringLiteral("chat.example:6200 Anonymous Wanderers"));
        for (const char *used : {"a.x", "chat.example:6200", "", "b;c", "Sea.battle.net", " CHAT.example:6200 "})
            live.s.rememberServer(QLatin1String(used));
        QCOMPARE(live.stored(QStringLiteral("RecentServers")), QStringLiteral("CHAT.example:6200;Sea.battle.net;a.x"));
        QCOMPARE(live.s.loginForm().cmbServers.mid(2, 3), (QStringList{"a.x", "63.240.202.120", "63.240.202.121"}));
        QCOMPARE(live.s.loginForm().cmbServers.size(), 3 + 13);
        QCOMPARE(live.stored(QStringLiteral("Server")), QStringLiteral("chat.example:6200"));
        live.put(QStringLiteral("RecentServers"), QStringLiteral("0;1;2;3;4;5;6;7;8;9;10;11"));   // by hand
        live.s.rememberServer(QStringLiteral("no server"));
        QCOMPARE(live.s.list("RecentServers"), QStringLiteral("0;1;2;3;4;5;6;7;8;9").split(';'));
    }

    // Tab walks each dialog's controls as they are laid out, and every
    // control has a name for screen readers: a button's or box's caption
    // without its "&", a field's label.
    void keyboardAndScreenReaders_data()
    {
        QTest::addColumn<bool>("options");
        QTest::addColumn<QStringList>("chain");
        QTest::newRow("login") << false << QStringList{"cmbServers=Server", "txtUserN=Username:", "txtPassW=Password:",
                                                       "cmdLogin=Login", "cmdCancel=Cancel"};
        QTest::newRow("options") << true << QStringList{"chkAI=Anti-Idle", "txtHomeChan=Home Channel:",
            "chkUJ=User Join/Leave Notify", "chkRC=Auto Reconnect", "txtIdle=Idle Message:",
            "spnScrollback=Scrollback lines:", "chkLog=Keep a daily log", "chkNotify=Desktop notifications", "cmbEncoding=Text encoding:",
            "scrFSize=Window Font Size", "cmdSave=Save", "cmdCanc=Cancel"};
    }
    void keyboardAndScreenReaders()
    {
        QFETCH(bool, options);
        QFETCH(QStringList, chain);
        Live live;
        std::unique_ptr<QDialog> dialog(options ? static_cast<QDialog *>(new OptionsDialog(live.s))
                                                : new LoginDialog(live.s));
        QStringList walked;
        QWidget *w = dialog->findChild<QWidget *>(chain.first().section('=', 0, 0));
        for (int i = 0; w && i < 100 && walked.size() < chain.size(); ++i, w = w->nextInFocusChain()) {
            if (w->parentWidget() == dialog.get() && (w->focusPolicy() & Qt::TabFocus))
                walked << w->objectName() + '=' + w->accessibleName();
        }
        QCOMPARE(walked, chain);
    }

    // The window says why a setting cannot work here: the switch shows off
    // and disabled, with the reason beside it, and the stored value stays.
    // Scrollback lines shows its range and takes nothing outside it.
    void unavailableSettingsAndRanges()
    {
        Live live;
        const QString reason = QStringLiteral("No notification service or tray on this desktop");
        live.s.setUnavailable("Notifications", reason);
        OptionsDialog dialog(live.s);
        auto *box = child<QCheckBox>(&dialog, "chkNotify");
        QVERIFY(!box->isEnabled() && !box->isChecked() && live.s.notifications());
        QCOMPARE(box->toolTip() + child<QLabel>(&dialog, "lblNotifyNote")->text(), reason + reason);
        live.s.setUnavailable("Notifications", QString());
        QVERIFY(box->isEnabled() && box->isChecked());
        auto *spin = child<QSpinBox>(&dialog, "spnScrollback");
        QCOMPARE(child<QLabel>(&dialog, "lblScrollbackNote")->text(), QStringLiteral("1,000 to 1,000,000"));
        spin->selectAll();
        QTest::keyClicks(spin, QStringLiteral("50"));
        QCOMPARE(live.s.scrollbackLines(), 20000);    // below the minimum: not taken
        QTest::keyClicks(spin, QStringLiteral("00000"));
        QCOMPARE(live.s.scrollbackLines(), 500000);   // no digit past the maximum
    }
};

QTEST_MAIN(TestDialogSettings)
#include "tst_dialog_settings.moc"
