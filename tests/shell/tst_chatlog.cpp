// The log files. The chat log's pieces: an empty log, the ".log" rule, a
// write that fails part-way and must leave the old file as it was, and the
// rewrite in place where the folder refuses new files (the whole file and
// the dialog flow are covered through the window in tst_savelog). The daily
// log: its bytes and mode, the day's file, flushing, a stamp on every line
// and the marks, and a failure.

#include "chat/ChatLog.h"
#include "chat/DailyLog.h"
#include "chat/TimeStamp.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#endif
#ifdef Q_OS_LINUX
#include <sys/fsuid.h>
#include <unistd.h>
#endif

namespace {

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

bool privateMode(const QString &path)
{
    return !(QFile(path).permissions() & QFileDevice::Permissions(0x0077));   // nothing for group or others
}

} // namespace

class TestChatLog : public QObject
{
    Q_OBJECT

private slots:
    void emptyRosterAndPane()
    {
        QCOMPARE(ChatLog::build({}, QString(), QStringLiteral("Log saved on 24/12/31 at 21:07:09"),
                                 Wire::Encoding::windows1252()),
                 "Quillon v2.2\r\n\r\nLog saved on 24/12/31 at 21:07:09\r\n\r\nUsers in channel:\r\n\r\n"
                 "Chat text:\r\n\r\n");
    }

    void logExtension()
    {
        const std::pair<QString, QString> cases[] = {
            {"chat", "chat.log"}, {"chat.log", "chat.log"}, {"chat.LOG", "chat.LOG.log"}, {"chat.txt", "chat.txt.log"},
            {".log", ".log"}, {"log", "log.log"}, {"/tmp/x.log/chat", "/tmp/x.log/chat.log"}};
        for (const auto &[chosen, used] : cases)
            QCOMPARE(ChatLog::withLogExtension(chosen), used);
    }

#ifdef Q_OS_UNIX
    // A write that fails part-way (the disk fills up: a file size limit stops
    // it after a few bytes, whoever runs the test) leaves the old log as it
    // was and no temporary file. When the folder refuses new files (mode
    // 0555), a writable old log is rewritten in place. Root passes every mode
    // check, so as root that write runs under another user's file-system
    // identity (Linux only); where that cannot be done the rest is skipped.
    void failuresKeepTheOldLog()
    {
        QTemporaryDir dir;
        const QByteArray folder = QFile::encodeName(dir.path());
        const QString path = dir.filePath(QStringLiteral("chat.log"));
        QVERIFY(writeFile(path, "the old log\r\n"));
        struct rlimit old {};
        QCOMPARE(getrlimit(RLIMIT_FSIZE, &old), 0);
        const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        struct rlimit small = old;
        small.rlim_cur = 64;
        QCOMPARE(setrlimit(RLIMIT_FSIZE, &small), 0);
        QString reason;
        const bool ok = ChatLog::write(path, QByteArray(100000, 'x'), &reason);
        setrlimit(RLIMIT_FSIZE, &old);
        std::signal(SIGXFSZ, oldHandler);
        QVERIFY(!ok && !reason.isEmpty());
        QCOMPARE(readAll(path), QByteArray("the old log\r\n"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("chat.log")});

        QVERIFY(::chmod(QFile::encodeName(path), 0666) == 0 && ::chmod(folder, 0555) == 0);
        auto unlock = qScopeGuard([&] { ::chmod(folder, 0755); });
#ifdef Q_OS_LINUX
        const bool root = ::geteuid() == 0;
        if (root)
            setfsgid(65534), setfsuid(65534);
        auto back = qScopeGuard([root] {
            if (root)
                setfsuid(0), setfsgid(0);
        });
#endif
        if (QFile(dir.filePath(QStringLiteral("probe"))).open(QIODevice::WriteOnly))
            QSKIP("The folder cannot be made to refuse new files for this user");
        QVERIFY2(ChatLog::write(path, "new\r\n", &reason), qPrintable(reason));
        QCOMPARE(readAll(path), QByteArray("new\r\n"));
        QVERIFY(!ChatLog::write(dir.filePath(QStringLiteral("other.log")), "x", &reason) && !reason.isEmpty());
    }
#endif

    void dailyLogWritesTheTranscriptIntoTheDaysFile()
    {
        QTemporaryDir dir;
        QDateTime now(QDate(2024, 3, 5), QTime(23, 59, 58));
        const QString day1 = dir.filePath(QStringLiteral("logs/2024-03-05.log"));
        const QString day2 = dir.filePath(QStringLiteral("logs/2024-03-06.log"));
        {
            DailyLog log(dir.path(), [&] { return now; });
            QCOMPARE(log.fileFor(QDate(2024, 3, 5)), day1);
            log.setFlushInterval(0);
            log.append(QStringLiteral("[23:59:58]  "));
            log.append(QStringLiteral("Ann: \u00a3 5 \u20ac") + QChar(0xD83D) + QStringLiteral("\r\n"));   // a lone surrogate is a "?"
            QTRY_COMPARE(readAll(day1), QByteArray("[23:59:58]  Ann: \xc2\xa3 5 \xe2\x82\xac?\r\n"));   // written on its own
            QVERIFY(privateMode(day1) && privateMode(dir.filePath(QStringLiteral("logs"))));
            log.setFlushInterval(3600000);
            // A line begun before midnight ends in its day's file; the next
            // line starts the new day's.
            log.append(QStringLiteral("[23:59:59]  "));
            now = now.addSecs(2);
            log.append(QStringLiteral("late\r\n"));
            log.append(QStringLiteral("[00:00:00]  early\r\n"));
        }   // and written when the log goes
        DailyLog nextStart(dir.path(), [&] { return now; });
        nextStart.append(QStringLiteral("[00:00:01]  again\r\n"));
        nextStart.flush();
        QCOMPARE(readAll(day1), QByteArray("[23:59:58]  Ann: \xc2\xa3 5 \xe2\x82\xac?\r\n[23:59:59]  late\r\n"));
        QCOMPARE(readAll(day2), QByteArray("[00:00:00]  early\r\n[00:00:01]  again\r\n"));
    }

    // Lines with a stamp of their own keep it; the others get one in front,
    // blank lines stay blank; a mark ends a line being written.
    void dailyLogStampsEveryLineAndMarksEvents()
    {
        QTemporaryDir dir;
        TimeStamp::setClockForTesting([] { return QTime(9, 8, 7); });
        const auto reset = qScopeGuard([] { TimeStamp::setClockForTesting({}); });
        const QByteArray stamp = TimeStamp::now().toLatin1();
        DailyLog log(dir.path(), [] { return QDateTime(QDate(2024, 3, 5), QTime(9, 8, 7)); });
        const char *noStamp = "[a bracket of 39 characters, not a time.]  \r\n";
        for (const char *run : {"[1:00:00]  ", "Ann: [x]  hi\r\n", "Disconnected.\r\n\r\nReconnecting in 5 seconds...\r\n", noStamp,
                                "[1:00:01]  ", "Logged on as bob\r\n", "half"})
            log.append(QString::fromLatin1(run));
        log.mark(QStringLiteral("Quillon 2.2 exited."));
        log.flush();
        QCOMPARE(readAll(log.fileFor(QDate(2024, 3, 5))),
                 "[1:00:00]  Ann: [x]  hi\r\n" + stamp + "Disconnected.\r\n\r\n" + stamp + "Reconnecting in 5 seconds...\r\n"
                 + stamp + noStamp +
                 "[1:00:01]  Logged on as bob\r\n" + stamp + "half\r\n" + stamp + "*** Quillon 2.2 exited.\r\n");
    }

    void dailyLogFailureIsReportedOnceAndRetriedTheNextDay()
    {
        QTemporaryDir dir;
        const QString base = dir.filePath(QStringLiteral("base"));
        QVERIFY(writeFile(base, "a file where the folder should be"));   // stops root too
        QDateTime now(QDate(2024, 3, 5), QTime(0, 0, 10));   // a day just begun rests all the same
        DailyLog log(base, [&] { return now; });
        QStringList reports;
        connect(&log, &DailyLog::writeFailed, this, [&](const QString &text) { reports << text; });
        log.append(QStringLiteral("lost\r\n"));
        log.flush();
        QCOMPARE(reports.size(), 1);
        QVERIFY2(reports.first().startsWith(QStringLiteral("The daily log cannot be written: ")
                                            + QDir::toNativeSeparators(base + QStringLiteral("/logs/2024-03-05.log"))),
                 qPrintable(reports.first()));

        QVERIFY(QFile::remove(base));   // the obstacle goes; the log rests until tomorrow
        log.append(QStringLiteral("dropped\r\n"));
        log.flush();
        QVERIFY(!QFile::exists(base));
        now = now.addDays(1);
        log.append(QStringLiteral("[12:00:00]  next day\r\n"));
        log.flush();
        QCOMPARE(readAll(base + QStringLiteral("/logs/2024-03-06.log")), QByteArray("[12:00:00]  next day\r\n"));
        QCOMPARE(reports.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestChatLog)
#include "tst_chatlog.moc"
