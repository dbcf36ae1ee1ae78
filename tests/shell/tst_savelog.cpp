// "Save &Log" from the window: the dialog's answer, the ".log" rule, the file
// byte for byte with the roster and the upper pane only, the boxes, and a
// failed save that keeps the old file.

#include "ShellProfile.h"

#include "chat/ChatLog.h"
#include "chat/ChatSession.h"
#include "chat/TranscriptPane.h"
#include "shell/MainWindow.h"

#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QPushButton>

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

const QByteArray SavedOnBytes = ChatLog::savedOnLine(QDateTime(QDate(2024, 3, 5), QTime(15, 4, 5))).toLatin1();

void pressSaveLog(MainWindow &w)
{
    w.findChild<QPushButton *>(QStringLiteral("cmdSaveLog"))->click();
}

} // namespace

class TestSaveLog : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void cancelWritesNothing()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        const QStringList before = QDir(profile.path(QString())).entryList(QDir::Files);
        pressSaveLog(w);
        QCOMPARE(profile.fileDialogs, 1);
        QCOMPARE(profile.boxes, QStringList{QStringLiteral("Log not saved.")});
        QCOMPARE(QDir(profile.path(QString())).entryList(QDir::Files), before);
    }

    void emptyRosterAndPane()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        profile.chosenName = profile.path(QStringLiteral("empty"));
        pressSaveLog(w);
        const QString file = profile.chosenName + QStringLiteral(".log");
        QCOMPARE(readAll(file), "Quillon v2.2\r\n\r\n" + SavedOnBytes
                                    + "\r\n\r\nUsers in channel:\r\n\r\nChat text:\r\n\r\n");
        QCOMPARE(profile.boxes, QStringList{file + QStringLiteral("\r\n\r\nLog saved.")});
    }

    void rosterAndUpperPaneOnly()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        RosterModel &roster = w.session().roster();
        roster.addUser(QStringLiteral("Ann"), QStringLiteral("[STAR]"), 0);
        roster.addUser(QStringLiteral("Zo\u00eb"), QStringLiteral("[CHAT]"), 2);
        roster.addUser(QStringLiteral("Op"), QString(), 0);
        w.txtChat()->AddText(QStringLiteral("[3:00:00 PM]  "), 0xFF0000);
        w.txtChat()->AddText(QStringLiteral("Ann: \u00a3 for a hint\r\n"), 0xFFFFFF);
        w.txtChat()->AddText(QStringLiteral("second line\r\n"), 0x00FF00);
        w.txtChat2()->AddText(QStringLiteral("Bob joined the channel.\r\n"), 0x808080);

        profile.chosenName = profile.path(QStringLiteral("upper.LOG"));
        pressSaveLog(w);
        const QString file = profile.path(QStringLiteral("upper.LOG.log"));
        QCOMPARE(readAll(file), "Quillon v2.2\r\n\r\n" + SavedOnBytes
                                    + "\r\n\r\nUsers in channel:\r\nAnn\r\nZo\xeb\r\nOp\r\n\r\n"
                                      "Chat text:\r\n"
                                      "[3:00:00 PM]  Ann: \xa3 for a hint\r\nsecond line\r\n"
                                      "\r\n");
        QCOMPARE(profile.boxes, QStringList{file + QStringLiteral("\r\n\r\nLog saved.")});
        QVERIFY(!QFile::exists(profile.chosenName));
    }

    void savingTwiceToOneName()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        profile.chosenName = profile.path(QStringLiteral("twice.log"));
        w.txtChat()->AddText(QString(3000, QLatin1Char('a')) + QStringLiteral("\r\n"), 0xFFFFFF);
        pressSaveLog(w);
        w.txtChat()->clearPane();
        w.txtChat()->AddText(QStringLiteral("short\r\n"), 0xFFFFFF);
        pressSaveLog(w);
        QVERIFY(readAll(profile.chosenName).endsWith("Chat text:\r\nshort\r\n\r\n"));
        QVERIFY(!readAll(profile.chosenName).contains("aaa"));
        QCOMPARE(profile.boxes.size(), 2);
        QCOMPARE(profile.boxes.last(), profile.chosenName + QStringLiteral("\r\n\r\nLog saved."));
    }

    void unwritablePlaceKeepsTheOldLog()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        // "busy.log" is a folder holding the old log: nothing may touch it.
        QVERIFY(QDir(profile.path(QString())).mkdir(QStringLiteral("busy.log")));
        const QString old = profile.path(QStringLiteral("busy.log/old.log"));
        {
            QFile f(old);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("old\r\n");
        }
        profile.chosenName = profile.path(QStringLiteral("busy"));
        pressSaveLog(w);
        QCOMPARE(profile.boxes.size(), 1);
        const QString box = profile.boxes.first();
        QVERIFY2(box.startsWith(QStringLiteral("Log not saved.\r\n\r\n") + profile.path(QStringLiteral("busy.log"))
                                + QStringLiteral("\r\n")),
                 qPrintable(box));
        QVERIFY2(box.size() > QStringLiteral("Log not saved.\r\n\r\n\r\n").size() + profile.path("busy.log").size(),
                 "the reason is missing");
        QCOMPARE(readAll(old), QByteArray("old\r\n"));

        // A folder below a regular file: refused the same way, no crash.
        profile.boxes.clear();
        profile.chosenName = old + QStringLiteral("/below");
        pressSaveLog(w);
        QCOMPARE(profile.boxes.size(), 1);
        QVERIFY(profile.boxes.first().startsWith(QLatin1String("Log not saved.")));
        QCOMPARE(readAll(old), QByteArray("old\r\n"));
    }
};

QTEST_MAIN(TestSaveLog)
#include "tst_savelog.moc"
