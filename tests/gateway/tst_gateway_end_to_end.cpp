// Real chat sessions of the client log on to the local gateway (its prompts
// as today's servers send them) and use it as a newcomer would. Checks what
// each session's transcript and roster show: first with the quotas off, the
// sessions sending faster than a person types, then with today's rules on
// and the sessions' send queues and the gateway on one test clock.

#include "Accounts.h"
#include "FakeSettings.h"
#include "Gateway.h"
#include "RawClient.h"
#include "RecordingSink.h"
#include "chat/ChatSession.h"
#include "chat/Colors.h"

#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

#include <memory>

using namespace gateway;

namespace {

constexpr int Timeout = 5000;

// One client: its settings, its two panes and the session, logged on and at home.
struct Client
{
    Client(const QString &name, quint16 port, SendQueue::Clock clock = {}, const QString &password = "Wanderers")
    {
        settings.setText("UserName", name);
        settings.setText("PassWord", password);
        settings.setFlag("AutoReconnect", true);
        session = std::make_unique<ChatSession>(settings, upper, lower);
        session->setPortForTesting(port);
        session->outbox().sendQueue().setClock(std::move(clock));
        session->Login();
        (void)QTest::qWaitFor([this] { return session->channel() == settings.homeChan() || !session->isActive(); },
                              Timeout);
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
    void sayOnlyWhatWasSaid();
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

    // UTF-8 both ways with a bare client: what alice typed leaves as its UTF-8 bytes, and carol's UTF-8 reads as sent.
    RawClient carol;
    QVERIFY(carol.logon(gateway.serverPort(), QStringLiteral("carol")));
    carol.send(QStringLiteral("/join ") + a.channel());
    QTRY_COMPARE_WITH_TIMEOUT(alice.iconOf(QStringLiteral("carol")), 3, Timeout);
    QVERIFY(a.SendLine(QStringLiteral("\u00E9\u20AC\u043F\u0440\u0438\u0432\u0435\u0442")));
    QVERIFY(carol.waitFor(QString::fromLatin1("1005 TALK alice 0012 \"\xC3\xA9\xE2\x82\xAC\xD0\xBF\xD1\x80\xD0\xB8\xD0\xB2\xD0\xB5\xD1\x82\"")));
    carol.sendRaw(QStringLiteral("caf\u00E9 \u043F\u0440\u0438\u0432\u0435\u0442").toUtf8() + '\r');
    QTRY_VERIFY_WITH_TIMEOUT(alice.upperHas({QStringLiteral("caf\u00E9 \u043F\u0440\u0438\u0432\u0435\u0442\r\n"), Colors::White}), Timeout);
}

// With today's rules: a burst of lines, a long talk line and a long whisper
// all arrive, whole and in order, without a refusal; a kick ends the talk;
// a refused logon sends nothing more and does not come back.
void TestGatewayEndToEnd::sayOnlyWhatWasSaid()
{
    qint64 ms = 100000;
    Gateway gateway(QStringLiteral("Quillon"));
    gateway.setClock([&] { return ms / 1000; });
    Accounts accounts;
    QVERIFY(accounts.parse("alice:a\nbob:b\n", QStringLiteral("test"), nullptr));
    gateway.setAccounts(accounts);
    QVERIFY(gateway.listen(QHostAddress::LocalHost, 0));
    const auto clock = [&] { return ms; };
    Client alice(QStringLiteral("alice"), gateway.serverPort(), clock, QStringLiteral("a"));
    Client bob(QStringLiteral("bob"), gateway.serverPort(), clock, QStringLiteral("b"));
    ChatSession &b = *bob.session;
    QTRY_COMPARE_WITH_TIMEOUT(alice.session->roster().count(), 2, Timeout);

    QStringList said;
    for (int i = 0; i < 12; ++i)
        said << QStringLiteral("burst %1").arg(i, 2, 10, QLatin1Char('0'));
    const QString words = QStringLiteral("0123456789 ").repeated(41);
    said << words.left(450).trimmed() << QStringLiteral("/w alice ") + words.left(300).trimmed();
    QSignalSpy sent(&b.outbox().sendQueue(), &SendQueue::send);
    for (const QString &line : said)
        QVERIFY(b.outbox().say(line));
    QVERIFY(b.outbox().waitingLines() > 0);
    // Each round the clock moves on once alice heard all that left so far.
    for (int round = 0; round < 20 && b.outbox().waitingLines() > 0; ++round) {
        QTRY_COMPARE_WITH_TIMEOUT(alice.upper.plainText().count(QStringLiteral("]  bob")), sent.count(), Timeout);
        ms += SendQueue::WindowMs;
        b.outbox().sendQueue().poll();
    }
    QCOMPARE(b.outbox().waitingLines(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(alice.upper.plainText().count(QStringLiteral("]  bob")), sent.count(), Timeout);
    QString heard = alice.upper.plainText();
    for (int i = 0; i < 12; ++i) {   // in order
        const qsizetype at = heard.indexOf(said.at(i));
        QVERIFY2(at >= 0, qPrintable(said.at(i)));
        heard = heard.mid(at);
    }
    // The long lines came in pieces that join up to what was said.
    const QRegularExpression talk(QStringLiteral("bob:\\d+: ([0-9 ]+)\r\n")), whisper(QStringLiteral("whispers: ([0-9 ]+)\r\n"));
    QStringList talked, whispered;
    for (auto it = talk.globalMatch(alice.upper.plainText()); it.hasNext();)
        talked << it.next().captured(1);
    for (auto it = whisper.globalMatch(alice.upper.plainText()); it.hasNext();)
        whispered << it.next().captured(1);
    QCOMPARE(talked.join(' '), said.at(12));
    QCOMPARE(whispered.join(QLatin1Char(' ')), said.at(13).mid(9));
    QVERIFY(talked.size() == 3 && whispered.size() == 3);
    QVERIFY(!bob.lowerHas(QStringLiteral("quota")) && b.isActive());

    // Kicked: no channel, nobody listed.
    QVERIFY(alice.session->outbox().say(QStringLiteral("/kick bob")));
    QTRY_VERIFY_WITH_TIMEOUT(b.channel().isEmpty(), Timeout);
    QCOMPARE(b.roster().count(), 0);
    QVERIFY(bob.upper.plainText().contains(QStringLiteral("You are in no channel now: bob has been kicked by alice.")));

    // A wrong password: refused, nothing more sent, no reconnection.
    Client mallory(QStringLiteral("alice"), gateway.serverPort(), clock, QStringLiteral("wrong"));
    QTRY_COMPARE_WITH_TIMEOUT(mallory.session->state(), ChatSession::State::Disconnected, Timeout);
    QVERIFY(mallory.upper.plainText().contains(QStringLiteral("Logon refused: Login failed.")));
    QTest::qWait(300);
    QCOMPARE(mallory.session->state(), ChatSession::State::Disconnected);
    QCOMPARE(mallory.upper.plainText().count(QStringLiteral("Connecting to")), 1);
}

QTEST_GUILESS_MAIN(TestGatewayEndToEnd)
#include "tst_gateway_end_to_end.moc"
