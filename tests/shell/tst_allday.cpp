// All-day use through the real window: the saved options (scrollback, daily
// log) reach it, the daily log gets both panes' runs, a log that cannot be
// written says so, unseen alerts count in the title, the find bar hands the
// focus back, Tab completes the others' names, and notification text that
// received markup cannot shape.

#include "GatewaySessionTest.h"
#include "ShellProfile.h"
#include "chat/DailyLog.h"
#include "chat/FindBar.h"
#include "chat/TranscriptPane.h"
#include "outgoing/InputLine.h"
#include "settings/DialogSettings.h"
#include "shell/Attention.h"
#include "shell/MainWindow.h"

#include <QLineEdit>
#include <QTextBlock>

class TestAllDay : public GatewaySessionTest
{
    Q_OBJECT
    std::optional<ShellProfile> profile;

    std::unique_ptr<MainWindow> loggedOnWindow()
    {
        auto w = std::make_unique<MainWindow>(profile->prompts());
        w->session().setPortForTesting(gateway->port());
        QTest::qVerify(logOn(w->session()), "logOn", "", __FILE__, __LINE__);
        return w;
    }

private slots:
    void init()
    {
        GatewaySessionTest::init();
        profile.emplace();   // the daily log starts off
    }

    void savedOptionsReachThePanesAndTheDailyLog()
    {
        ShellProfile::put("ScrollbackLines", "1500");
        auto w = loggedOnWindow();
        const auto limits = [&] { return QList{w->txtChat()->scrollbackLimit(), w->txtChat2()->scrollbackLimit()}; };
        QCOMPARE(limits(), QList({1500, 1500}));
        const auto saveLog = [&](bool on) { w->settings().setContinuousLogChecked(on); w->settings().confirmOptions(); };
        w->settings().setScrollbackLines(4000);
        saveLog(true);
        QCOMPARE(limits(), QList({4000, 4000}));
        gateway->sendLines({"1005 TALK ann 0000 \"costs \xa3" "5\"", "1018 INFO \"Welcome\""});
        QTRY_VERIFY(w->txtChat2()->toPlainText().contains("Welcome"));
        QTest::keyClicks(w->txtSend(), "hi\r");   // the own line's echo
        saveLog(false);
        gateway->sendLines({"1018 INFO \"unlogged\""});
        QTRY_VERIFY(w->txtChat2()->toPlainText().contains("unlogged"));
        saveLog(true);
        w->session().lower().AddText("again\r\n", Colors::Red);
        QFile file(w->dailyLog().fileFor(QDate::currentDate()));
        QVERIFY(file.fileName().startsWith(profile->path("data/")));
        w.reset();   // the log is written out as the window goes
        const QByteArray stamp = TimeStamp::now().toLatin1();
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), stamp + "ann:0: costs \xc2\xa3" "5\r\n" + stamp + "Welcome\r\n" + stamp + "bob: hi\r\n" + stamp + "again\r\n");
    }

    void aDailyLogThatCannotBeWrittenSaysSoInTheUpperPane()
    {
        ShellProfile::put("ContinuousLog", "1");
        MainWindow w(profile->prompts());
        QVERIFY(QDir().mkpath(QFileInfo(w.dailyLog().folder()).path()));
        QVERIFY(QFile(w.dailyLog().folder()).open(QIODevice::WriteOnly));   // a file where the folder goes
        w.session().lower().AddText("line\r\n", Colors::White);
        w.dailyLog().flush();
        QCOMPARE(w.txtChat()->toPlainText().count("The daily log cannot be written"), 1);
    }

    void alertsFindBarAndTabInTheLoggedOnWindow()
    {
        auto w = loggedOnWindow();   // never shown yet: not active
        gateway->sendLines({"1004 WHISPER ann 0000 \"psst\""});
        QTRY_VERIFY(w->txtChat()->toPlainText().contains("psst"));   // the session's alert
        emit w->session().alert("ann", "psst");
        QCOMPARE(w->windowTitle(), QStringLiteral("(2) Quillon v2.2 - bob"));
        const QTextBlock line = w->txtChat()->document()->lastBlock().previous();
        QVERIFY(line.text().endsWith("psst") && line.blockFormat().hasProperty(QTextFormat::BackgroundBrush));
        w->session().disconnectByUser();
        QCOMPARE(w->windowTitle(), QStringLiteral("(2) Quillon v2.2"));
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        emit w->session().alert("ann", "seen at once");
        QCOMPARE(w->windowTitle(), QStringLiteral("Quillon v2.2"));
        // Ctrl+F opens the find bar; closing it hands the focus back.
        QTest::keyClick(w->txtSend(), Qt::Key_F, Qt::ControlModifier);
        QVERIFY(w->findBar()->isVisible() && w->findBar()->field()->hasFocus());
        QTest::keyClick(w->findBar()->field(), Qt::Key_Escape);
        QVERIFY(!w->findBar()->isVisible() && w->txtSend()->hasFocus());
        // Tab completes the others' names, not the own one (bob).
        for (const char *name : {"Bob", "bobby", "ann"})
            w->session().roster().addUser(name, "[CHAT]", 0);
        QTest::keyClicks(w->txtSend(), "BO\t");
        QCOMPARE(w->txtSend()->currentText(), QStringLiteral("bobby, "));
    }

    void noticesArePlainShortText_data()
    {
        QTest::addColumn<QString>("from");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("notice");   // title | body
        QTest::newRow("markup") << "<i>ann" << "<b>hi</b> & \"you\"" << "&lt;i&gt;ann | &lt;b&gt;hi&lt;/b&gt; &amp; &quot;you&quot;";
        QTest::newRow("controls") << "ann\x1b" << "a\tb\x01\x7f\u202E" "c\r\n" << "ann | a bc";
        QTest::newRow("long") << "ann" << QString(300, 'x') + "<" << "ann | " + QString(199, 'x') + "\u2026";
        QTest::newRow("cut before a pair") << "ann" << QString(198, 'x') + "\U0001F600yy" << "ann | " + QString(198, 'x') + "\u2026";
    }
    void noticesArePlainShortText()
    {
        QFETCH(QString, from);
        QFETCH(QString, text);
        QFETCH(QString, notice);
        const Attention::Notice made = Attention::notice(from, text);
        QCOMPARE(made.title + " | " + made.body, notice);
    }
};

QTEST_MAIN(TestAllDay)
#include "tst_allday.moc"
