// "Save &Log" from the window: the dialog's answer, the ".log" rule, the file
// byte for byte with the roster and the upper pane only, and the boxes for a
// save, a cancel and a failure. The pieces are in tst_chatlog.

#include "ShellProfile.h"

#include "chat/ChatLog.h"
#include "chat/ChatSession.h"
#include "chat/TranscriptPane.h"
#include "shell/MainWindow.h"

#include <QDir>
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
    void saveCancelAndFailure()
    {
        ShellProfile profile;
        MainWindow w(profile.prompts());
        RosterModel &roster = w.session().roster();
        roster.addUser(QStringLiteral("Ann"), QStringLiteral("[STAR]"), 0);
        roster.addUser(QStringLiteral("Zo\u00eb"), QStringLiteral("[CHAT]"), 2);
        w.txtChat()->AddText(QStringLiteral("[3:00:00 PM]  "), 0xFF0000);
        w.txtChat()->AddText(QStringLiteral("Ann: \u00a3 for a hint\r\nsecond line\r\n"), 0xFFFFFF);
        w.txtChat2()->AddText(QStringLiteral("Bob joined the channel.\r\n"), 0x808080);
        profile.chosenName = profile.path(QStringLiteral("upper.LOG"));
        pressSaveLog(w);
        const QString file = profile.path(QStringLiteral("upper.LOG.log"));
        QCOMPARE(readAll(file), "Quillon v2.2\r\n\r\n" + SavedOnBytes
                                    + "\r\n\r\nUsers in channel:\r\nAnn\r\nZo\xc3\xab\r\n\r\nChat text:\r\n"
                                      "[3:00:00 PM]  Ann: \xc2\xa3 for a hint\r\nsecond line\r\n\r\n");
        QCOMPARE(profile.boxes, QStringList{file + QStringLiteral("\r\n\r\nLog saved.")});
        QCOMPARE(QFile(file).permissions() & QFileDevice::Permissions(0x0777), QFileDevice::ReadUser | QFileDevice::WriteUser);   // 0600

        profile.chosenName.clear();   // Cancel
        pressSaveLog(w);
        QCOMPARE(profile.boxes.last(), QStringLiteral("Log not saved."));
        // "busy.log" is a folder: it cannot be replaced by the log.
        QVERIFY(QDir(profile.path(QString())).mkdir(QStringLiteral("busy.log")));
        profile.chosenName = profile.path(QStringLiteral("busy"));
        pressSaveLog(w);
        const QString start = QStringLiteral("Log not saved.\r\n\r\n") + profile.path(QStringLiteral("busy.log"))
                              + QStringLiteral("\r\n");
        QVERIFY2(profile.boxes.last().startsWith(start) && profile.boxes.last().size() > start.size(),
                 qPrintable(profile.boxes.last()));   // with the reason
        QCOMPARE(profile.boxes.size(), 3);
        QCOMPARE(QDir(profile.path(QString())).entryList(QDir::Files), QStringList{QStringLiteral("upper.LOG.log")});
    }
};

QTEST_MAIN(TestSaveLog)
#include "tst_savelog.moc"
