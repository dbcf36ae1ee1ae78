// The client against a hostile gateway on 127.0.0.1: refused connections,
// resets and closes in the middle of a line, a 10 MB line, NUL and 0xFF
// bytes, flags that are not numbers, a thousand accept-and-close rounds and
// a flood of 100,000 lines. The client keeps running, its event loop keeps
// turning, every complete well-formed line shows, and what it holds back
// stays bounded. Timings are printed, never asserted.

#include "GatewaySessionTest.h"
#include "chat/ChatSession.h"
#include "chat/Colors.h"
#include "chat/TimeStamp.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

namespace {

// Samples, on a 1 ms timer, what the client holds back: the parser's
// unfinished line and the socket's read buffer. Also counts the timer's
// ticks (each one is a turn of the event loop) and the longest gap.
class Watcher
{
public:
    explicit Watcher(ChatSession &session)
        : m_session(session)
    {
        m_timer.setTimerType(Qt::PreciseTimer);
        m_timer.setInterval(1);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { sample(); });
        m_clock.start();
        m_timer.start();
    }
    void sample()
    {
        ++ticks;
        const qint64 now = m_clock.nsecsElapsed();
        longestGapMs = qMax(longestGapMs, (now - m_last) / 1e6);
        m_last = now;
        maxPending = qMax(maxPending, m_session.parser().pendingBytes());
        if (auto *socket = m_session.findChild<QTcpSocket *>())
            maxBuffered = qMax(maxBuffered, socket->bytesAvailable());
    }

    int ticks = 0;
    double longestGapMs = 0;
    qsizetype maxPending = 0;
    qint64 maxBuffered = 0;

private:
    ChatSession &m_session;
    QTimer m_timer;
    QElapsedTimer m_clock;
    qint64 m_last = 0;
};

constexpr qint64 SocketBufferBound = 1024 * 1024;

// Every byte of a literal, NULs included.
template<qsizetype N>
QByteArray bytes(const char (&literal)[N])
{
    return QByteArray(literal, N - 1);
}

} // namespace

class HostileGatewayTest : public GatewaySessionTest
{
    Q_OBJECT


    void connectAndLogOn()
    {
        session->Login();
        QVERIFY(gateway->waitForClient());
        QVERIFY(gateway->waitForReceivedEnding(settings->passwordValue.toLatin1() + "\r\n"));
        gateway->take();
    }
    int countIn(const RecordingSink &sink, const QString &text) const
    {
        int n = 0;
        for (const Run &r : sink.runs)
            n += r.text == text;
        return n;
    }
    // After whatever happened, a well-behaved gateway still gets through.
    void provesAlive()
    {
        gateway->setAcceptAndClose(false);
        session->cancelPendingReconnect();
        session->disconnectByUser();
        session->Login();
        QVERIFY(gateway->waitForClient(10000));
        QVERIFY(gateway->waitForReceivedEnding(settings->passwordValue.toLatin1() + "\r\n", 10000));
        gateway->sendLines({"1018 INFO \"still here\""});
        QTRY_VERIFY_WITH_TIMEOUT(lower->plainText().endsWith(QLatin1String("still here\r\n")), 10000);
    }

private slots:
    void initTestCase() { TimeStamp::setClockForTesting([] { return QTime(4, 5, 6); }); }
    void init() { QVERIFY(setUpSession()); }
    void cleanup() { tearDownSession(); }

    void refusedAgainAndAgain()
    {
        // A port nobody listens on: bound once, then released.
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
        session->setPortForTesting(probe.serverPort());
        probe.close();
        settings->autoReconnectValue = true;
        session->setRetryBaseForTesting(0);
        session->Login();
        QTRY_VERIFY_WITH_TIMEOUT(countIn(*upper, QStringLiteral("Disconnected.\r\n\r\n")) >= 200, 60000);
        session->cancelPendingReconnect();
        QVERIFY(upper->runs.at(1).text.startsWith(QLatin1String("Connection failed: ")));
        QCOMPARE(session->findChildren<QTcpSocket *>().size(), 1);
        session->setPortForTesting(gateway->port());
        provesAlive();
    }

    void resetOrCloseInTheMiddleOfALine_data()
    {
        QTest::addColumn<bool>("reset");
        QTest::newRow("reset") << true;
        QTest::newRow("close") << false;
    }
    void resetOrCloseInTheMiddleOfALine()
    {
        QFETCH(bool, reset);
        connectAndLogOn();
        gateway->send("1005 TALK Ann 0010 \"complete\"\r\n1005 TALK Ann 0010 \"half of a li");
        QTRY_VERIFY_WITH_TIMEOUT(upper->plainText().contains(QLatin1String("complete\r\n")), 5000);
        if (reset)
            gateway->resetClient();
        else
            gateway->dropClient();
        QTRY_COMPARE_WITH_TIMEOUT(countIn(*upper, QStringLiteral("Disconnected.\r\n\r\n")), 1, 5000);
        QVERIFY(!upper->plainText().contains(QLatin1String("half of a li")));

        // The next connection starts clean: the old half is not glued to
        // whatever the new connection sends first.
        session->Login();
        QVERIFY(gateway->waitForClient());
        QVERIFY(gateway->waitForReceivedEnding(settings->passwordValue.toLatin1() + "\r\n"));
        gateway->send("ne\"\r\n1005 TALK Ann 0010 \"fresh\"\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(upper->plainText().contains(QLatin1String("fresh\r\n")), 5000);
        QVERIFY(!upper->plainText().contains(QLatin1String("half of a line")));
    }

    void tenMegabyteLines()
    {
        connectAndLogOn();
        Watcher watch(*session);
        const QByteArray megabyte(1024 * 1024, 'x');
        gateway->send("1018 INFO \"before\"\r\n");
        for (int i = 0; i < 10; ++i)
            gateway->send(megabyte);
        gateway->send("\r\n1018 INFO \"after\"\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(lower->plainText().contains(QLatin1String("after\r\n")), 60000);
        const QString dropped = QStringLiteral("Error: the server sent a line longer than %1 bytes; it was dropped.\r\n")
                                    .arg(ChatParser::MaxTail);
        QCOMPARE(countIn(*lower, dropped), 1);
        QVERIFY(lower->plainText().contains(QLatin1String("before\r\n")));
        QVERIFY(!upper->plainText().contains(QLatin1String("xxxx")));
        QVERIFY(!lower->plainText().contains(QLatin1String("xxxx")));

        // Another one, and the connection ends before its line does.
        for (int i = 0; i < 10; ++i)
            gateway->send(megabyte);
        gateway->dropClient();
        QTRY_COMPARE_WITH_TIMEOUT(countIn(*upper, QStringLiteral("Disconnected.\r\n\r\n")), 1, 60000);
        QCOMPARE(countIn(*lower, dropped), 2);
        watch.sample();
        QVERIFY2(watch.maxPending <= ChatParser::MaxTail, qPrintable(QString::number(watch.maxPending)));
        QVERIFY2(watch.maxBuffered <= SocketBufferBound, qPrintable(QString::number(watch.maxBuffered)));
        QVERIFY(watch.ticks > 1);
        qInfo("10 MB lines: longest event-loop gap %.1f ms, %d turns", watch.longestGapMs, watch.ticks);
        provesAlive();
    }

    void nulAndFFBytes()
    {
        connectAndLogOn();
        gateway->send(bytes("1005 TALK A\0n 0010 \"a\0b\xff" "c\"\r\n") + bytes("\xff\xfe\0\r\n\0\0\0\r\n\xff\r\n")
                      + "1018 INFO \"ok\"\r\n");
        QTRY_VERIFY_WITH_TIMEOUT(lower->plainText().endsWith(QLatin1String("ok\r\n")), 5000);
        // NUL shows as its control picture and 0xFF as the letter it is.
        QVERIFY(upper->plainText().contains(QStringLiteral("A\u2400n")));
        QVERIFY(upper->plainText().contains(QStringLiteral("a\u2400b\u00FFc\r\n")));
        for (const RecordingSink *sink : {upper, lower}) {
            for (const Run &r : sink->runs)
                QVERIFY(!r.text.contains(QChar(0)));
        }
        gateway->sendLines({"1005 TALK Ann 0010 \"next\""});
        QTRY_VERIFY_WITH_TIMEOUT(upper->plainText().endsWith(QLatin1String("next\r\n")), 5000);
    }

    void flagsThatAreNotNumbers()
    {
        connectAndLogOn();
        gateway->sendLines({"1007 CHANNEL \"Lobby\"", "1001 USER Bob 00zz [STAR]", "1001 USER Ann 0012 [STAR]",
                            "1005 TALK Bob abcd \"hi\"", "1009 USER Ann ----", "1002 JOIN Cid 1e10 [SEXP]",
                            "1023 EMOTE Cid 0x12 \"waves\"", "1004 WHISPER Bob \xff\xff\xff\xff \"psst\"",
                            "1005 TALK Ann -001 \"negative\"", "1018 INFO \"end\""});
        QTRY_VERIFY_WITH_TIMEOUT(lower->plainText().endsWith(QLatin1String("end\r\n")), 5000);
        QCOMPARE(session->roster().names(), (QStringList{"Bob", "Ann", "Cid"}));
        // A flags change that is no number changes nothing.
        QCOMPARE(session->roster().entry(2).icon, 10);
        const QString shown = upper->plainText();
        for (const char *text : {"hi\r\n", "waves\r\n", "psst\r\n", "negative\r\n"})
            QVERIFY2(shown.contains(QLatin1String(text)), text);
    }

    // A thousand rounds as fast as the back-off allows when it is zero: no
    // socket piles up and the client keeps its footing.
    void aThousandAcceptAndCloseInARow()
    {
        settings->autoReconnectValue = true;
        gateway->setAcceptAndClose(true);
        session->setRetryBaseForTesting(0);
        QElapsedTimer t;
        t.start();
        session->Login();
        QTRY_VERIFY_WITH_TIMEOUT(gateway->clientCount() >= 1000, 120000);
        session->cancelPendingReconnect();
        qInfo("1000 accept-and-close rounds in %lld ms", t.elapsed());
        QCOMPARE(session->findChildren<QTcpSocket *>().size(), 1);
        QVERIFY(!session->parser().loggedOn());
        provesAlive();
    }

    // With a real back-off the same gateway gets a handful of attempts, each
    // wait twice the one before, instead of hundreds.
    void acceptAndCloseIsPacedByTheBackOff()
    {
        settings->autoReconnectValue = true;
        gateway->setAcceptAndClose(true);
        session->setRetryBaseForTesting(1);
        session->Login();
        QTRY_VERIFY_WITH_TIMEOUT(gateway->clientCount() >= 8, 20000);
        // Eight attempts wait 1 + 2 + ... + 64 ms at least: the eighth
        // attempt's wait is 128 ms, and it doubles on.
        QVERIFY(session->nextRetryDelayMs() >= 128);
        const int before = gateway->clientCount();
        QTest::qWait(200);
        // Not every attempt of a hammering client: at most a few more.
        QVERIFY2(gateway->clientCount() - before <= 3, qPrintable(QString::number(gateway->clientCount() - before)));
        session->cancelPendingReconnect();
        provesAlive();
    }

    void aFloodOfAHundredThousandLines()
    {
        connectAndLogOn();
        constexpr int Lines = 100000;
        QByteArray flood;
        flood.reserve(Lines * 40);
        for (int i = 0; i < Lines; ++i)
            flood += "1005 TALK u" + QByteArray::number(i % 97) + " 0010 \"line " + QByteArray::number(i) + "\"\r\n";
        flood += "1018 INFO \"flood over\"\r\n";
        Watcher watch(*session);
        QElapsedTimer t;
        t.start();
        gateway->send(flood);
        QTRY_VERIFY_WITH_TIMEOUT(lower->plainText().endsWith(QLatin1String("flood over\r\n")), 120000);
        qInfo("100000 lines in %lld ms; longest event-loop gap %.1f ms, %d turns", t.elapsed(),
              watch.longestGapMs, watch.ticks);

        // Every line, once, in order.
        int next = 0;
        for (const Run &r : upper->runs) {
            if (!r.text.startsWith(QLatin1String("line ")))
                continue;
            QCOMPARE(r.text, QStringLiteral("line %1\r\n").arg(next));
            ++next;
        }
        QCOMPARE(next, Lines);
        // The event loop turned while the flood came in, and little was held back.
        QVERIFY(watch.ticks > 5);
        QVERIFY(watch.maxPending <= ChatParser::MaxTail);
        QVERIFY2(watch.maxBuffered <= SocketBufferBound, qPrintable(QString::number(watch.maxBuffered)));
    }

    // The server floods and closes at once: what it sent before the close
    // is still shown, in slices, and only then does the client disconnect.
    void aFloodAndThenAClose()
    {
        connectAndLogOn();
        constexpr int Lines = 50000;
        QByteArray flood;
        for (int i = 0; i < Lines; ++i)
            flood += "1005 TALK Ann 0010 \"last " + QByteArray::number(i) + "\"\r\n";
        Watcher watch(*session);
        gateway->send(flood);
        gateway->dropClient();
        QTRY_COMPARE_WITH_TIMEOUT(countIn(*upper, QStringLiteral("Disconnected.\r\n\r\n")), 1, 120000);
        qInfo("flood and close: longest event-loop gap %.1f ms, %d turns", watch.longestGapMs, watch.ticks);
        int next = 0;
        for (const Run &r : upper->runs) {
            if (r.text.startsWith(QLatin1String("last ")))
                QCOMPARE(r.text, QStringLiteral("last %1\r\n").arg(next++));
        }
        QCOMPARE(next, Lines);
        QCOMPARE(upper->runs.last(), (Run{"Disconnected.\r\n\r\n", Colors::Red}));
        QVERIFY(!session->isActive());
        QVERIFY(watch.ticks > 1);
    }
};

QTEST_GUILESS_MAIN(HostileGatewayTest)
#include "tst_hostile_gateway.moc"
