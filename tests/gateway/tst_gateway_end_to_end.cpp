// Two real chat sessions of the client log on to the local gateway (its
// prompts as today's servers send them) and use it as a newcomer would.
// Checks what each session's transcript and roster show. The quotas are
// off: the sessions send faster than a person types.

#include "FakeSettings.h"
#include "Gateway.h"
#include "RecordingSink.h"
#include "chat/ChatSession.h"
#include "chat/Colors.h"

#include <QTest>

#include <memory>

namespace {

constexpr int Timeout = 5000;

// One client: its settings, its two panes and the session, logged on and at home.
struct Client
{
    Client(const QString &name, quint16 port)
    {
        settings.userNameValue = name;
        session = std::make_unique<ChatSession>(settings, upper, lower);
        session->setPortForTesting(port);
        session->Login();
        (void)QTest::qWaitFor([this] { return session->channel() == settings.homeChanValue; }, Timeout);
    }
    bool upperHas(const Run &run) const { return upper.runs.contains(run); }
    bool lowerHas(const QString &text) const { return lower.plainText().contains(text); }
    int iconOf(const QString &name) const
    {
        const int pos = session->roster().FindUser(name);
        return pos > 0 ? session->roster().entry(pos).icon : -1;
    }

    FakeSettings settings;
    RecordingSink upper, lower;
    std::unique_ptr<ChatSession> session;
};

} // namespace

class TestGatewayEndToEnd : public QObject
{
    Q_OBJECT

private slots:
    void twoNewcomers();
};

void TestGatewayEndToEnd::twoNewcomers()
{
    Gateway gateway(QStringLiteral("Quillon"));
    gateway.setServerRules(false);
    QVERIFY(gateway.listen(QHostAddress::LocalHost, 0));
    Client alice(QStringLiteral("alice"), gateway.serverPort());
    Client bob(QStringLiteral("bob"), gateway.serverPort());
    ChatSession &a = *alice.session;
    ChatSession &b = *bob.session;
    QCOMPARE(b.channel(), QStringLiteral("Bounty Hunters"));
    QTRY_COMPARE_WITH_TIMEOUT(alice.iconOf(QStringLiteral("bob")), 3, Timeout);
    // Past the prompts of today's servers; alice came first and runs the channel.
    QVERIFY(alice.upperHas({QStringLiteral("Logged on as alice\r\n"), Colors::LogonBlue}));
    QVERIFY(alice.lowerHas(QStringLiteral("Username: alice\r\n")));
    QVERIFY(alice.lowerHas(QStringLiteral("bob joined the channel using a Chat bot.\r\n")));
    QCOMPARE(bob.iconOf(QStringLiteral("alice")), 10);

    QVERIFY(b.SendLine(QStringLiteral("hello alice")));
    QTRY_VERIFY_WITH_TIMEOUT(alice.upperHas({QStringLiteral("hello alice\r\n"), Colors::White}), Timeout);
    QVERIFY(a.SendLine(QStringLiteral("/w bob psst")));
    QTRY_VERIFY_WITH_TIMEOUT(bob.upperHas({QStringLiteral("psst\r\n"), Colors::Grey}), Timeout);
    QCOMPARE(b.replyName(), QStringLiteral("alice"));
    // A hex line crosses the wire as 8-bit text and is translated on arrival.
    QVERIFY(b.SendLine(QStringLiteral("\u00A36869")));
    QTRY_VERIFY_WITH_TIMEOUT(alice.upper.plainText().contains(QStringLiteral("Translation (HEX): hi")), Timeout);

    // The kicked session is in no channel, still connected, and free to come back.
    QVERIFY(a.SendLine(QStringLiteral("/kick bob")));
    QTRY_COMPARE_WITH_TIMEOUT(alice.iconOf(QStringLiteral("bob")), -1, Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(bob.lowerHas(QStringLiteral("bob has been kicked by alice.\r\n")), Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(bob.iconOf(QStringLiteral("bob")), -1, Timeout);
    QVERIFY(b.SendLine(QStringLiteral("/join Elsewhere")));
    QTRY_COMPARE_WITH_TIMEOUT(b.channel(), QStringLiteral("Elsewhere"), Timeout);
}

QTEST_GUILESS_MAIN(TestGatewayEndToEnd)
#include "tst_gateway_end_to_end.moc"
