// The chat log file's pieces: the date line, the ".log" rule, and a write
// that fails part-way and must leave the old file as it was. The whole file
// and the dialog flow are covered through the window in tst_savelog.

#include "chat/ChatLog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/resource.h>
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

} // namespace

class TestChatLog : public QObject
{
    Q_OBJECT

private slots:
    void savedOnLineUsesTheDateAndTime()
    {
        const QString line = ChatLog::savedOnLine(QDateTime(QDate(2031, 12, 24), QTime(21, 7, 9)));
        QVERIFY2(line.startsWith(QLatin1String("Log saved on ")), qPrintable(line));
        const qsizetype at = line.indexOf(QLatin1String(" at "));
        QVERIFY2(at > 0, qPrintable(line));
        const QString date = line.mid(13, at - 13);
        const QString time = line.mid(at + 4);
        // The month may be a number or a name, the year short or long.
        QVERIFY2(date.contains(QLatin1String("31")) && date.contains(QLatin1String("24")), qPrintable(date));
        QVERIFY2(time.contains(QLatin1String("07:09")) || time.contains(QLatin1String("7:09")), qPrintable(time));
        QVERIFY(!line.contains(QLatin1Char('\n')));
    }

    void logExtension_data()
    {
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QString>("used");
        QTest::newRow("no extension") << "chat" << "chat.log";
        QTest::newRow("ends in .log") << "chat.log" << "chat.log";
        QTest::newRow("upper case") << "chat.LOG" << "chat.LOG.log";
        QTest::newRow("mixed case") << "chat.Log" << "chat.Log.log";
        QTest::newRow("other extension") << "chat.txt" << "chat.txt.log";
        QTest::newRow("just .log") << ".log" << ".log";
        QTest::newRow("shorter than four") << "log" << "log.log";
        QTest::newRow("folder with dot") << "/tmp/x.log/chat" << "/tmp/x.log/chat.log";
    }

    void logExtension()
    {
        QFETCH(QString, chosen);
        QFETCH(QString, used);
        QCOMPARE(ChatLog::withLogExtension(chosen), used);
    }

#ifdef Q_OS_UNIX
    void failurePartWayKeepsTheOldFile()
    {
        // The disk fills up during the write: a file size limit makes the
        // write fail after a few bytes, whoever runs the test.
        QTemporaryDir dir;
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

        QVERIFY(!ok);
        QVERIFY(!reason.isEmpty());
        QCOMPARE(readAll(path), QByteArray("the old log\r\n"));
        // No half-written temporary file stays behind.
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("chat.log")});
    }
#endif
};

QTEST_GUILESS_MAIN(TestChatLog)
#include "tst_chatlog.moc"
