// Clients that misbehave: binary garbage, over-long lines, connections cut
// in the middle of a line, a client that never reads. The gateway must go
// on serving everybody else.

#include "ClientLink.h"
#include "Gateway.h"
#include "RawClient.h"

#include <QRandomGenerator>
#include <QTest>

#include <memory>

class TestGatewayRobustness : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void garbageBytesDoNotDisturbOthers();
    void overlongLineIsDroppedAndTheNextOneServed();
    void abruptClosesAreCleanedUp();
    void clientThatNeverReadsIsDropped();

private:
    std::unique_ptr<RawClient> client(const QString &name);
    // alice talks and bob hears it: the gateway still serves its users.
    void checkStillServing(const QString &text);

    std::unique_ptr<Gateway> m_gateway;
    std::unique_ptr<RawClient> m_alice;
    std::unique_ptr<RawClient> m_bob;
};

void TestGatewayRobustness::init()
{
    m_gateway = std::make_unique<Gateway>(QStringLiteral("Quillon"));
    QVERIFY(m_gateway->listen(QHostAddress::LocalHost, 0));
    m_alice = client(QStringLiteral("alice"));
    m_bob = client(QStringLiteral("bob"));
    QVERIFY(m_alice && m_bob);
}

void TestGatewayRobustness::cleanup()
{
    m_alice.reset();
    m_bob.reset();
    m_gateway.reset();
}

std::unique_ptr<RawClient> TestGatewayRobustness::client(const QString &name)
{
    auto c = std::make_unique<RawClient>();
    if (!c->logon(m_gateway->serverPort(), name))
        return nullptr;
    return c;
}

void TestGatewayRobustness::checkStillServing(const QString &text)
{
    m_alice->send(text);
    QVERIFY(m_bob->waitFor(QStringLiteral("1005 TALK alice 0012 \"") + text + QLatin1Char('"')));
    QVERIFY(m_bob->framingOk());
}

void TestGatewayRobustness::garbageBytesDoNotDisturbOthers()
{
    QRandomGenerator random(4711);
    QByteArray garbage(8192, Qt::Uninitialized);
    for (char &b : garbage)
        b = char(random.bounded(256));

    // Before the logon: it is taken for names and passwords and refused.
    RawClient stranger;
    QVERIFY(stranger.connectTo(m_gateway->serverPort()));
    stranger.sendRaw(garbage);
    checkStillServing(QStringLiteral("after the stranger"));

    // After the logon: it becomes talk without control characters.
    auto carol = client(QStringLiteral("carol"));
    QVERIFY(carol);
    carol->sendRaw(garbage);
    carol->sendRaw("\r\n");
    checkStillServing(QStringLiteral("after carol"));
    QVERIFY(m_bob->sync());
    for (const QString &line : m_bob->pending()) {
        for (const QChar c : line)
            QVERIFY2(c.unicode() >= 0x20, qPrintable(line.toHtmlEscaped()));
    }
    QVERIFY(m_bob->framingOk());
    QVERIFY(carol->isConnected());
}

void TestGatewayRobustness::overlongLineIsDroppedAndTheNextOneServed()
{
    auto carol = client(QStringLiteral("carol"));
    QVERIFY(carol);

    // A line just under the cap passes whole.
    const QString longLine(60000, QLatin1Char('y'));
    carol->send(longLine);
    QVERIFY(m_bob->waitFor(QStringLiteral("1005 TALK carol 0010 \"") + longLine + QLatin1Char('"')));

    // 256 KiB without a line end, in pieces, then the end and a normal line.
    const QByteArray piece(16 * 1024, 'x');
    for (int i = 0; i < 16; ++i) {
        carol->sendRaw(piece);
        QTest::qWait(1);
    }
    carol->sendRaw("still the long line\r\nafter the long line\r\n");
    QVERIFY(carol->waitFor(QStringLiteral("1019 ERROR \"Your line was longer than 65536 bytes and was dropped.\"")));
    QVERIFY(m_bob->waitFor(QStringLiteral("1005 TALK carol 0010 \"after the long line\"")));
    QVERIFY(m_bob->sync());
    QVERIFY(!m_bob->pendingContains(QStringLiteral("xxxx")));
    QVERIFY(!m_bob->pendingContains(QStringLiteral("still the long line")));
    checkStillServing(QStringLiteral("still here"));
}

void TestGatewayRobustness::abruptClosesAreCleanedUp()
{
    const int clientsBefore = m_gateway->clientCount();

    // Cut in the middle of the logon record: nobody is registered.
    {
        RawClient half;
        QVERIFY(half.connectTo(m_gateway->serverPort()));
        half.sendRaw("\x03\x04" "hal");
        QTRY_COMPARE_WITH_TIMEOUT(m_gateway->clientCount(), clientsBefore + 1, RawClient::Timeout);
        half.socket().abort();
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_gateway->clientCount(), clientsBefore, RawClient::Timeout);

    // Cut in the middle of a line after the logon: the others see a LEAVE.
    auto dave = client(QStringLiteral("dave"));
    QVERIFY(dave);
    QVERIFY(m_bob->waitFor(QStringLiteral("1002 JOIN dave 0010 [CHAT]")));
    dave->sendRaw("half a li");
    QTest::qWait(10);
    dave->socket().abort();
    QVERIFY(m_bob->waitFor(QStringLiteral("1003 LEAVE dave 0010")));
    QTRY_COMPARE_WITH_TIMEOUT(m_gateway->clientCount(), clientsBefore, RawClient::Timeout);
    QCOMPARE(m_gateway->hub().find(QStringLiteral("dave")), nullptr);
    QVERIFY(!m_bob->pendingContains(QStringLiteral("half a li")));

    // Whispers to a user who just left get the ordinary error.
    m_alice->send(QStringLiteral("/w dave are you there?"));
    QVERIFY(m_alice->waitFor(QStringLiteral("1019 ERROR \"That user is not logged on.\"")));
    checkStillServing(QStringLiteral("after dave"));
}

void TestGatewayRobustness::clientThatNeverReadsIsDropped()
{
    auto sleepy = client(QStringLiteral("sleepy"));
    auto flooder = client(QStringLiteral("flooder"));
    QVERIFY(sleepy && flooder);
    sleepy->send(QStringLiteral("/join Flood"));
    QVERIFY(sleepy->waitFor(QStringLiteral("1007 CHANNEL \"Flood\"")));
    flooder->send(QStringLiteral("/join Flood"));
    QVERIFY(sleepy->waitFor(QStringLiteral("1002 JOIN flooder 0010 [CHAT]")));

    // From here on sleepy reads nothing: its kernel buffers fill, then the
    // gateway's queue for it grows until the cap.
    sleepy->socket().disconnect(sleepy.get());
    sleepy->socket().setReadBufferSize(4096);
    const QString line(32 * 1024, QLatin1Char('z'));
    for (int i = 0; i < 4000 && m_gateway->hub().find(QStringLiteral("sleepy")); ++i) {
        flooder->send(line);
        if (i % 8 == 0)
            QTest::qWait(1);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_gateway->hub().find(QStringLiteral("sleepy")), nullptr, RawClient::Timeout);
    QVERIFY(flooder->isConnected());
    QVERIFY(m_gateway->hub().find(QStringLiteral("flooder")));
    checkStillServing(QStringLiteral("after the flood"));
}

QTEST_GUILESS_MAIN(TestGatewayRobustness)
#include "tst_gateway_robustness.moc"
