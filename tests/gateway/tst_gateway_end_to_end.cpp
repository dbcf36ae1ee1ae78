// Two real chat sessions of the client log on to the local gateway and use
// it as a newcomer would: talk, whisper, emote, a hex line, a channel
// change, squelch and kick. Checks what each session's transcript and
// roster show.

#include "FakeSettings.h"
#include "Gateway.h"
#include "RecordingSink.h"
#include "chat/ChatSession.h"
#include "chat/Colors.h"
#include "chat/RosterModel.h"

#include <QTest>

#include <memory>

namespace {

constexpr int Timeout = 5000;

// One client: its settings, its two panes and the session.
struct Client
{
    Client(const QString &name, quint16 port)
    {
        settings.userNameValue = name;
        settings.autoReconnectValue = false;
        session = std::make_unique<ChatSession>(settings, upper, lower);
        session->setPortForTesting(port);
    }
    bool upperHas(const Run &run) const { return upper.runs.contains(run); }
    bool lowerHas(const QString &text) const { return lower.plainText().contains(text); }
    bool inRoster(const QString &name) const { return session->roster().FindUser(name) > 0; }
    int iconOf(const QString &name) const
    {
        const int pos = session->roster().FindUser(name);
        return pos > 0 ? session->roster().entry(pos).icon : -1;
    }
    // Everything the gateway sent before this call has been handled once
    // the answer to a whois of oneself shows.
    bool sync()
    {
        const QString answer = session->ownName() + QStringLiteral(" is using");
        const qsizetype before = lower.plainText().count(answer);
        session->SendLine(QStringLiteral("/whois ") + session->ownName());
        return QTest::qWaitFor([&] { return lower.plainText().count(answer) > before; }, Timeout);
    }

    FakeSettings settings;
    RecordingSink upper;
    RecordingSink lower;
    std::unique_ptr<ChatSession> session;
};

} // namespace

class TestGatewayEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void logonJoinsTheHomeChannel();
    void talkWhisperEmoteAndHex();
    void changingChannelUpdatesBothRosters();
    void squelchAndUnsquelch();
    void kickIsForTheOperator();

private:
    std::unique_ptr<Gateway> m_gateway;
    std::unique_ptr<Client> m_alice;
    std::unique_ptr<Client> m_bob;
};

void TestGatewayEndToEnd::init()
{
    m_gateway = std::make_unique<Gateway>(QStringLiteral("Quillon"));
    QVERIFY(m_gateway->listen(QHostAddress::LocalHost, 0));
    const quint16 port = m_gateway->serverPort();
    const QString home = QStringLiteral("Bounty Hunters");

    m_alice = std::make_unique<Client>(QStringLiteral("alice"), port);
    m_alice->session->Login();
    QTRY_COMPARE_WITH_TIMEOUT(m_alice->session->channel(), home, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(m_alice->inRoster(QStringLiteral("alice")), Timeout);

    m_bob = std::make_unique<Client>(QStringLiteral("bob"), port);
    m_bob->session->Login();
    QTRY_COMPARE_WITH_TIMEOUT(m_bob->session->channel(), home, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(m_alice->inRoster(QStringLiteral("bob")), Timeout);
}

void TestGatewayEndToEnd::cleanup()
{
    m_alice.reset();
    m_bob.reset();
    m_gateway.reset();
}

void TestGatewayEndToEnd::logonJoinsTheHomeChannel()
{
    ChatSession &a = *m_alice->session;
    QVERIFY(a.isActive());
    QCOMPARE(a.ownName(), QStringLiteral("alice"));
    QVERIFY(m_alice->upperHas({QStringLiteral("Logged on as alice\r\n"), Colors::LogonBlue}));
    QVERIFY(m_alice->lowerHas(QStringLiteral("Welcome to Battle.net!\r\n")));
    QVERIFY(m_alice->upperHas({QStringLiteral("You have joined channel Bounty Hunters\r\n"), Colors::Cyan}));
    QVERIFY(m_alice->lowerHas(QStringLiteral("bob joined the channel using a Chat bot.\r\n")));

    // alice came first and runs the channel: operator icon and white text.
    QCOMPARE(m_bob->session->roster().count(), 2);
    QCOMPARE(m_bob->iconOf(QStringLiteral("alice")), 10);
    QCOMPARE(m_bob->session->roster().entry(m_bob->session->roster().FindUser(QStringLiteral("alice"))).color,
             RosterModel::RankColor);
    QCOMPARE(m_bob->iconOf(QStringLiteral("bob")), 3);
    QCOMPARE(a.roster().count(), 2);

    // A second logon with a taken name gets a suffix and still lands at home.
    Client alice2(QStringLiteral("Alice"), m_gateway->serverPort());
    alice2.session->Login();
    QTRY_COMPARE_WITH_TIMEOUT(alice2.session->channel(), QStringLiteral("Bounty Hunters"), Timeout);
    QCOMPARE(alice2.session->ownName(), QStringLiteral("Alice#2"));
    QTRY_COMPARE_WITH_TIMEOUT(a.roster().count(), 3, Timeout);
}

void TestGatewayEndToEnd::talkWhisperEmoteAndHex()
{
    ChatSession &a = *m_alice->session;
    ChatSession &b = *m_bob->session;

    QVERIFY(b.SendLine(QStringLiteral("hello alice")));
    QTRY_VERIFY_WITH_TIMEOUT(m_alice->upperHas({QStringLiteral("hello alice\r\n"), Colors::White}), Timeout);
    QVERIFY(m_alice->upperHas({QStringLiteral(":10: "), Colors::Yellow}));
    QVERIFY(a.SendLine(QStringLiteral("hi bob")));
    QTRY_VERIFY_WITH_TIMEOUT(m_bob->upperHas({QStringLiteral(":12: "), Colors::Yellow}), Timeout);
    QVERIFY(m_bob->upperHas({QStringLiteral("alice"), Colors::White}));   // an operator's name

    QVERIFY(a.SendLine(QStringLiteral("/w bob psst")));
    QTRY_VERIFY_WITH_TIMEOUT(m_bob->upperHas({QStringLiteral("alice whispers: "), Colors::Green}), Timeout);
    QVERIFY(m_bob->upperHas({QStringLiteral("psst\r\n"), Colors::Grey}));
    QCOMPARE(b.replyName(), QStringLiteral("alice"));
    QTRY_VERIFY_WITH_TIMEOUT(m_alice->upperHas({QStringLiteral("You whisper to bob: "), Colors::Green}), Timeout);

    QVERIFY(a.SendLine(QStringLiteral("/w nobody hello")));
    QTRY_VERIFY_WITH_TIMEOUT(m_alice->lowerHas(QStringLiteral("Error: That user is not logged on.\r\n")), Timeout);

    QVERIFY(b.SendLine(QStringLiteral("/me waves")));
    const Run emote{QStringLiteral("bob waves\r\n"), Colors::Yellow};
    QTRY_VERIFY_WITH_TIMEOUT(m_alice->upperHas(emote), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(m_bob->upperHas(emote), Timeout);

    // A hex line crosses the wire as 8-bit text and is translated on arrival.
    QVERIFY(b.SendLine(QStringLiteral("\u00A36869")));
    QTRY_VERIFY_WITH_TIMEOUT(m_alice->upper.plainText().contains(QStringLiteral("Translation (HEX): hi")), Timeout);
}

void TestGatewayEndToEnd::changingChannelUpdatesBothRosters()
{
    ChatSession &a = *m_alice->session;
    ChatSession &b = *m_bob->session;

    QVERIFY(b.SendLine(QStringLiteral("/join Elsewhere")));
    QTRY_COMPARE_WITH_TIMEOUT(b.channel(), QStringLiteral("Elsewhere"), Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(!m_alice->inRoster(QStringLiteral("bob")), Timeout);
    QVERIFY(m_alice->lowerHas(QStringLiteral("bob left the channel.\r\n")));
    QCOMPARE(a.roster().count(), 1);
    QCOMPARE(b.roster().count(), 1);
    QCOMPARE(m_bob->iconOf(QStringLiteral("bob")), 10);   // first in Elsewhere

    QVERIFY(a.SendLine(QStringLiteral("/join Elsewhere")));
    QTRY_COMPARE_WITH_TIMEOUT(a.channel(), QStringLiteral("Elsewhere"), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(a.roster().count(), 2, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(m_bob->inRoster(QStringLiteral("alice")), Timeout);
    QCOMPARE(m_bob->iconOf(QStringLiteral("alice")), 3);
}

void TestGatewayEndToEnd::squelchAndUnsquelch()
{
    ChatSession &a = *m_alice->session;
    ChatSession &b = *m_bob->session;

    QVERIFY(a.SendLine(QStringLiteral("/squelch bob")));
    QTRY_COMPARE_WITH_TIMEOUT(m_alice->iconOf(QStringLiteral("bob")), 11, Timeout);
    QVERIFY(b.SendLine(QStringLiteral("can you hear me?")));
    QVERIFY(m_bob->sync());
    QVERIFY(m_alice->sync());
    QVERIFY(!m_alice->upper.plainText().contains(QStringLiteral("can you hear me?")));

    QVERIFY(a.SendLine(QStringLiteral("/unsquelch bob")));
    QTRY_COMPARE_WITH_TIMEOUT(m_alice->iconOf(QStringLiteral("bob")), 3, Timeout);
    QVERIFY(b.SendLine(QStringLiteral("and now?")));
    QTRY_VERIFY_WITH_TIMEOUT(m_alice->upperHas({QStringLiteral("and now?\r\n"), Colors::White}), Timeout);
}

void TestGatewayEndToEnd::kickIsForTheOperator()
{
    ChatSession &a = *m_alice->session;
    ChatSession &b = *m_bob->session;

    QVERIFY(b.SendLine(QStringLiteral("/kick alice")));
    QTRY_VERIFY_WITH_TIMEOUT(m_bob->lowerHas(QStringLiteral("Error: You are not a channel operator.\r\n")), Timeout);
    QVERIFY(m_alice->inRoster(QStringLiteral("bob")));

    QVERIFY(a.SendLine(QStringLiteral("/kick bob")));
    QTRY_COMPARE_WITH_TIMEOUT(b.channel(), QStringLiteral("The Void"), Timeout);
    QVERIFY(m_bob->lowerHas(QStringLiteral("bob was kicked out of the channel by alice.\r\n")));
    QTRY_VERIFY_WITH_TIMEOUT(!m_alice->inRoster(QStringLiteral("bob")), Timeout);
    QCOMPARE(a.roster().count(), 1);
    // Still connected, and free to come back.
    QVERIFY(b.isActive());
    QVERIFY(b.SendLine(QStringLiteral("/join Bounty Hunters")));
    QTRY_VERIFY_WITH_TIMEOUT(m_alice->inRoster(QStringLiteral("bob")), Timeout);
}

QTEST_MAIN(TestGatewayEndToEnd)
#include "tst_gateway_end_to_end.moc"
