// The gateway seen through bare sockets: logon, the welcome, channel talk,
// whispers, emotes, channel changes, squelch and the operator's commands.

#include "Accounts.h"
#include "Gateway.h"
#include "RawClient.h"

#include <QTest>

#include <memory>

class TestGatewayProtocol : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void logonSendsNameWelcomeAndChannel();
    void logonIsLenientAboutFraming();
    void takenNamesGetSuffixes();
    void accountsRefuseWrongPasswordAndAllowRetry();
    void talkReachesOthersOnly();
    void whispersEchoAndReportAbsentTargets();
    void emoteReachesEverybody();
    void joinMovesBetweenChannels();
    void operatorPassesOnWhenOperatorLeaves();
    void squelchHidesTalkUntilUnsquelched();
    void kickAndBanAreForOperatorsOnly();
    void unknownCommandsGetAnError();

private:
    std::unique_ptr<RawClient> client(const QString &name);

    std::unique_ptr<Gateway> m_gateway;
};

void TestGatewayProtocol::init()
{
    m_gateway = std::make_unique<Gateway>(QStringLiteral("Quillon"));
    QVERIFY(m_gateway->listen(QHostAddress::LocalHost, 0));
}

void TestGatewayProtocol::cleanup()
{
    m_gateway.reset();
}

std::unique_ptr<RawClient> TestGatewayProtocol::client(const QString &name)
{
    auto c = std::make_unique<RawClient>();
    if (!c->logon(m_gateway->serverPort(), name))
        return nullptr;
    return c;
}

void TestGatewayProtocol::logonSendsNameWelcomeAndChannel()
{
    RawClient alice;
    QVERIFY(alice.connectTo(m_gateway->serverPort()));
    alice.sendRaw("\x03\x04" "alice\r\nsecret\r\n");
    QVERIFY(alice.waitFor(QStringLiteral("2010 NAME alice")));
    QVERIFY(alice.waitFor(QStringLiteral("1018 INFO \"Welcome to Battle.net!\"")));
    QVERIFY(alice.waitFor(QStringLiteral("1007 CHANNEL \"Quillon\"")));
    // The first one in a channel is its operator.
    QVERIFY(alice.waitFor(QStringLiteral("1001 USER alice 0012 [CHAT]")));

    RawClient bob;
    QVERIFY(bob.connectTo(m_gateway->serverPort()));
    bob.sendRaw("\x03\x04" "bob\r\nx\r\n");
    QVERIFY(bob.waitFor(QStringLiteral("2010 NAME bob")));
    QVERIFY(bob.waitFor(QStringLiteral("1007 CHANNEL \"Quillon\"")));
    const QStringList listing = {QStringLiteral("1001 USER alice 0012 [CHAT]"), QStringLiteral("1001 USER bob 0010 [CHAT]")};
    QTRY_COMPARE_WITH_TIMEOUT(bob.pending().mid(0, 2), listing, RawClient::Timeout);
    QVERIFY(alice.waitFor(QStringLiteral("1002 JOIN bob 0010 [CHAT]")));
    QVERIFY(alice.framingOk());
    QVERIFY(bob.framingOk());
    QCOMPARE(m_gateway->hub().userCount(), 2);
}

void TestGatewayProtocol::logonIsLenientAboutFraming()
{
    // No 0x03 0x04, bare LF line ends.
    RawClient lf;
    QVERIFY(lf.connectTo(m_gateway->serverPort()));
    lf.sendRaw("plainlf\npw\n");
    QVERIFY(lf.waitFor(QStringLiteral("2010 NAME plainlf")));

    // Bare CR, and the record dribbling in one byte at a time.
    RawClient cr;
    QVERIFY(cr.connectTo(m_gateway->serverPort()));
    const QByteArray record("\x03\x04" "slowcr\rpw\r");
    for (char b : record) {
        cr.sendRaw(QByteArray(1, b));
        QTest::qWait(2);
    }
    QVERIFY(cr.waitFor(QStringLiteral("2010 NAME slowcr")));
    // A CR at the end of one piece and an LF at the start of the next are one line end.
    cr.sendRaw("/whois slowcr\r");
    QTest::qWait(20);
    cr.sendRaw("\n/whois plainlf\r\n");
    QTRY_VERIFY_WITH_TIMEOUT(cr.pendingContains(QStringLiteral("1018 INFO \"plainlf is using")), RawClient::Timeout);
    QVERIFY(cr.pendingContains(QStringLiteral("1018 INFO \"slowcr is using")));
    QVERIFY(!cr.pendingContains(QStringLiteral("ERROR")));

    // Names with blanks, control characters or nothing at all are refused.
    RawClient bad;
    QVERIFY(bad.connectTo(m_gateway->serverPort()));
    bad.sendRaw("\x03\x04\r\n\r\n");
    QVERIFY(bad.waitFor(QStringLiteral("Login failed.")));
    bad.sendRaw("two words\r\npw\r\n");
    QVERIFY(bad.waitFor(QStringLiteral("Login failed.")));
    bad.sendRaw("\x03\x04" "fine\r\npw\r\n");
    QVERIFY(bad.waitFor(QStringLiteral("2010 NAME fine")));
}

void TestGatewayProtocol::takenNamesGetSuffixes()
{
    auto a = client(QStringLiteral("alice"));
    auto b = client(QStringLiteral("alice"));
    auto c = client(QStringLiteral("ALICE"));
    QVERIFY(a && b && c);
    QCOMPARE(a->name(), QStringLiteral("alice"));
    QCOMPARE(b->name(), QStringLiteral("alice#2"));
    QCOMPARE(c->name(), QStringLiteral("ALICE#3"));
    // The suffixed name is an ordinary name: it can be whispered.
    a->send(QStringLiteral("/w alice#2 hi two"));
    QVERIFY(b->waitFor(QStringLiteral("1004 WHISPER alice 0012 \"hi two\"")));
    // A name freed by a closed connection is given out again.
    b.reset();
    QTRY_COMPARE_WITH_TIMEOUT(m_gateway->hub().userCount(), 2, RawClient::Timeout);
    auto d = client(QStringLiteral("alice"));
    QVERIFY(d);
    QCOMPARE(d->name(), QStringLiteral("alice#2"));
}

void TestGatewayProtocol::accountsRefuseWrongPasswordAndAllowRetry()
{
    Accounts accounts;
    QString message;
    QVERIFY2(accounts.parse("alice:Secret\n", QStringLiteral("test"), &message), qPrintable(message));
    m_gateway->setAccounts(accounts);

    RawClient alice;
    QVERIFY(alice.connectTo(m_gateway->serverPort()));
    alice.sendRaw("\x03\x04" "alice\r\nsecret\r\n");
    QVERIFY(alice.waitFor(QStringLiteral("Login failed.")));
    alice.sendRaw("\x03\x04" "mallory\r\nSecret\r\n");
    QVERIFY(alice.waitFor(QStringLiteral("Login failed.")));
    QCOMPARE(m_gateway->hub().userCount(), 0);
    // The connection stays open for another try; names ignore case.
    alice.sendRaw("\x03\x04" "Alice\r\nSecret\r\n");
    QVERIFY(alice.waitFor(QStringLiteral("2010 NAME Alice")));
    QVERIFY(alice.waitFor(QStringLiteral("1018 INFO \"Welcome to Battle.net!\"")));
}

void TestGatewayProtocol::talkReachesOthersOnly()
{
    auto alice = client(QStringLiteral("alice"));
    auto bob = client(QStringLiteral("bob"));
    QVERIFY(alice && bob);
    alice->send(QStringLiteral("hello there"));
    QVERIFY(bob->waitFor(QStringLiteral("1005 TALK alice 0012 \"hello there\"")));
    bob->send(QStringLiteral("hi \"alice\""));
    QVERIFY(alice->waitFor(QStringLiteral("1005 TALK bob 0010 \"hi \"alice\"\"")));

    // 8-bit text passes unchanged: the "£" marker is byte 0xA3 on the wire.
    alice->sendRaw("\xA3" "6869\r");
    QVERIFY(bob->waitFor(QStringLiteral("1005 TALK alice 0012 \"\u00A36869\"")));

    QVERIFY(alice->sync());
    QVERIFY(!alice->pendingContains(QStringLiteral("TALK alice")));
}

void TestGatewayProtocol::whispersEchoAndReportAbsentTargets()
{
    auto alice = client(QStringLiteral("alice"));
    auto bob = client(QStringLiteral("bob"));
    auto carol = client(QStringLiteral("carol"));
    QVERIFY(alice && bob && carol);
    QVERIFY(carol->sync());
    carol->clear();

    alice->send(QStringLiteral("/w bob psst, a secret"));
    QVERIFY(bob->waitFor(QStringLiteral("1004 WHISPER alice 0012 \"psst, a secret\"")));
    QVERIFY(alice->waitFor(QStringLiteral("1010 WHISPER bob 0010 \"psst, a secret\"")));
    bob->send(QStringLiteral("/whisper ALICE back at you"));
    QVERIFY(alice->waitFor(QStringLiteral("1004 WHISPER bob 0010 \"back at you\"")));
    QVERIFY(bob->waitFor(QStringLiteral("1010 WHISPER alice 0012 \"back at you\"")));
    QVERIFY(carol->sync());
    QVERIFY(!carol->pendingContains(QStringLiteral("WHISPER")));

    alice->send(QStringLiteral("/w nobody hello?"));
    QVERIFY(alice->waitFor(QStringLiteral("1019 ERROR \"That user is not logged on.\"")));
    alice->send(QStringLiteral("/w bob"));
    QVERIFY(alice->waitForPrefix(QStringLiteral("1019 ERROR ")).size() > 0);
}

void TestGatewayProtocol::emoteReachesEverybody()
{
    auto alice = client(QStringLiteral("alice"));
    auto bob = client(QStringLiteral("bob"));
    QVERIFY(alice && bob);
    alice->send(QStringLiteral("/me waves"));
    QVERIFY(alice->waitFor(QStringLiteral("1023 EMOTE alice 0012 \"waves\"")));
    QVERIFY(bob->waitFor(QStringLiteral("1023 EMOTE alice 0012 \"waves\"")));
    bob->send(QStringLiteral("/emote bows deeply"));
    QVERIFY(alice->waitFor(QStringLiteral("1023 EMOTE bob 0010 \"bows deeply\"")));
    QVERIFY(bob->waitFor(QStringLiteral("1023 EMOTE bob 0010 \"bows deeply\"")));
}

void TestGatewayProtocol::joinMovesBetweenChannels()
{
    auto alice = client(QStringLiteral("alice"));
    auto bob = client(QStringLiteral("bob"));
    QVERIFY(alice && bob);

    bob->send(QStringLiteral("/join Bounty Hunters"));
    QVERIFY(alice->waitFor(QStringLiteral("1003 LEAVE bob 0010")));
    QVERIFY(bob->waitFor(QStringLiteral("1007 CHANNEL \"Bounty Hunters\"")));
    QVERIFY(bob->waitFor(QStringLiteral("1001 USER bob 0012 [CHAT]")));

    alice->send(QStringLiteral("/join bounty hunters"));
    QVERIFY(alice->waitFor(QStringLiteral("1007 CHANNEL \"Bounty Hunters\"")));
    const QStringList listing = {QStringLiteral("1001 USER bob 0012 [CHAT]"), QStringLiteral("1001 USER alice 0010 [CHAT]")};
    QTRY_COMPARE_WITH_TIMEOUT(alice->pending().mid(0, 2), listing, RawClient::Timeout);
    QVERIFY(bob->waitFor(QStringLiteral("1002 JOIN alice 0010 [CHAT]")));

    // Talk stays inside a channel.
    auto carol = client(QStringLiteral("carol"));
    QVERIFY(carol);
    carol->send(QStringLiteral("anyone in Quillon?"));
    alice->send(QStringLiteral("only hunters here"));
    QVERIFY(bob->waitFor(QStringLiteral("1005 TALK alice 0010 \"only hunters here\"")));
    QVERIFY(carol->sync());
    QVERIFY(bob->sync());
    QVERIFY(!carol->pendingContains(QStringLiteral("hunters here")));
    QVERIFY(!bob->pendingContains(QStringLiteral("anyone in Quillon")));

    // Joining the channel one is in lists it again and tells nobody.
    bob->send(QStringLiteral("/join Bounty Hunters"));
    QVERIFY(bob->waitFor(QStringLiteral("1007 CHANNEL \"Bounty Hunters\"")));
    QVERIFY(bob->waitFor(QStringLiteral("1001 USER alice 0010 [CHAT]")));
    QVERIFY(alice->sync());
    QVERIFY(!alice->pendingContains(QStringLiteral("LEAVE")));
    QVERIFY(!alice->pendingContains(QStringLiteral("JOIN")));

    bob->send(QStringLiteral("/join"));
    QVERIFY(bob->waitForPrefix(QStringLiteral("1019 ERROR ")).size() > 0);
}

void TestGatewayProtocol::operatorPassesOnWhenOperatorLeaves()
{
    auto alice = client(QStringLiteral("alice"));
    auto bob = client(QStringLiteral("bob"));
    auto carol = client(QStringLiteral("carol"));
    QVERIFY(alice && bob && carol);
    alice->socket().abort();
    QVERIFY(bob->waitFor(QStringLiteral("1003 LEAVE alice 0012")));
    QVERIFY(bob->waitFor(QStringLiteral("1009 USER bob 0012")));
    QVERIFY(carol->waitFor(QStringLiteral("1009 USER bob 0012")));
    bob->send(QStringLiteral("/kick carol"));
    QVERIFY(carol->waitForPrefix(QStringLiteral("1018 INFO \"carol was kicked out")).size() > 0);
}

void TestGatewayProtocol::squelchHidesTalkUntilUnsquelched()
{
    auto alice = client(QStringLiteral("alice"));
    auto bob = client(QStringLiteral("bob"));
    auto carol = client(QStringLiteral("carol"));
    QVERIFY(alice && bob && carol);

    alice->send(QStringLiteral("/squelch bob"));
    QVERIFY(alice->waitFor(QStringLiteral("1009 USER bob 0030")));
    bob->send(QStringLiteral("can you hear me?"));
    bob->send(QStringLiteral("/me shouts"));
    bob->send(QStringLiteral("/w alice hello?"));
    QVERIFY(carol->waitFor(QStringLiteral("1005 TALK bob 0010 \"can you hear me?\"")));
    QVERIFY(bob->waitFor(QStringLiteral("1010 WHISPER alice 0012 \"hello?\"")));
    QVERIFY(bob->sync());
    QVERIFY(alice->sync());
    QVERIFY(!alice->pendingContains(QStringLiteral("bob 00")));

    // The squelched flag shows in what alice sees of bob, and only there.
    bob->send(QStringLiteral("/join Quillon"));
    QVERIFY(bob->waitFor(QStringLiteral("1001 USER bob 0010 [CHAT]")));
    alice->send(QStringLiteral("/join Quillon"));
    QVERIFY(alice->waitFor(QStringLiteral("1001 USER bob 0030 [CHAT]")));

    alice->send(QStringLiteral("/unsquelch bob"));
    QVERIFY(alice->waitFor(QStringLiteral("1009 USER bob 0010")));
    bob->send(QStringLiteral("now?"));
    QVERIFY(alice->waitFor(QStringLiteral("1005 TALK bob 0010 \"now?\"")));

    alice->send(QStringLiteral("/squelch nobody"));
    QVERIFY(alice->waitFor(QStringLiteral("1019 ERROR \"That user is not logged on.\"")));
}

void TestGatewayProtocol::kickAndBanAreForOperatorsOnly()
{
    auto alice = client(QStringLiteral("alice"));
    auto bob = client(QStringLiteral("bob"));
    auto carol = client(QStringLiteral("carol"));
    QVERIFY(alice && bob && carol);

    bob->send(QStringLiteral("/kick carol"));
    QVERIFY(bob->waitFor(QStringLiteral("1019 ERROR \"You are not a channel operator.\"")));
    bob->send(QStringLiteral("/ban alice"));
    QVERIFY(bob->waitFor(QStringLiteral("1019 ERROR \"You are not a channel operator.\"")));

    alice->send(QStringLiteral("/kick bob"));
    const QString kicked = QStringLiteral("1018 INFO \"bob was kicked out of the channel by alice.\"");
    QVERIFY(carol->waitFor(kicked));
    QVERIFY(carol->waitFor(QStringLiteral("1003 LEAVE bob 0010")));
    QVERIFY(bob->waitFor(kicked));
    QVERIFY(bob->waitFor(QStringLiteral("1007 CHANNEL \"The Void\"")));
    // A kick is not a ban.
    bob->send(QStringLiteral("/join Quillon"));
    QVERIFY(carol->waitFor(QStringLiteral("1002 JOIN bob 0010 [CHAT]")));

    alice->send(QStringLiteral("/ban bob flooding"));
    QVERIFY(carol->waitFor(QStringLiteral("1018 INFO \"bob was banned by alice (flooding).\"")));
    QVERIFY(bob->waitFor(QStringLiteral("1007 CHANNEL \"The Void\"")));
    bob->send(QStringLiteral("/join quillon"));
    QVERIFY(bob->waitFor(QStringLiteral("1019 ERROR \"You are banned from that channel.\"")));
    alice->send(QStringLiteral("/unban bob"));
    QVERIFY(carol->waitFor(QStringLiteral("1018 INFO \"bob was unbanned by alice.\"")));
    bob->send(QStringLiteral("/join quillon"));
    QVERIFY(carol->waitFor(QStringLiteral("1002 JOIN bob 0010 [CHAT]")));

    alice->send(QStringLiteral("/kick alice"));
    QVERIFY(alice->waitForPrefix(QStringLiteral("1019 ERROR ")).size() > 0);
    alice->send(QStringLiteral("/kick nobody"));
    QVERIFY(alice->waitFor(QStringLiteral("1019 ERROR \"That user is not in this channel.\"")));
}

void TestGatewayProtocol::unknownCommandsGetAnError()
{
    auto alice = client(QStringLiteral("alice"));
    QVERIFY(alice);
    const QString error = QStringLiteral("1019 ERROR \"That is not a valid command. Type /help for a list of commands.\"");
    alice->send(QStringLiteral("/frobnicate now"));
    QVERIFY(alice->waitFor(error));
    alice->send(QStringLiteral("/"));
    QVERIFY(alice->waitFor(error));
    // Empty lines are ignored without an answer.
    alice->sendRaw("\r\r\n\n");
    alice->send(QStringLiteral("/help"));
    QVERIFY(alice->waitForPrefix(QStringLiteral("1018 INFO \"Commands:")).size() > 0);
    QVERIFY(alice->sync());
    QVERIFY(!alice->pendingContains(QStringLiteral("ERROR")));
}

QTEST_GUILESS_MAIN(TestGatewayProtocol)
#include "tst_gateway_protocol.moc"
