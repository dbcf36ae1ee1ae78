// The local gateway: the flood quota and line splitting on their own, then
// bare sockets: the logon as today's servers send it, the relays of the chat
// commands, the friends list and the bytes of text as a real server relayed
// them, the quotas on a test clock, misbehaving clients, and the demo crowd
// beside the rules.

#include "Accounts.h"
#include "DemoCrowd.h"
#include "FloodQuota.h"
#include "Gateway.h"
#include "LineSplitter.h"
#include "RawClient.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QTest>

#include <map>
#include <memory>

using namespace gateway;

namespace {

QByteArray capture(const char *file)
{
    QFile f(QStringLiteral(QUILLON_CAPTURES "/") + QLatin1String(file));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QString QuotaError = QStringLiteral("1019 ERROR \"Your message quota has been exceeded!\"");

} // namespace

class TestGateway : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void floodQuota_data();
    void floodQuota();
    void splitterEndsLinesAtCrLfOrBoth();
    void logonAsRecorded();
    void takenNamesGetSuffixes();
    void relays_data();
    void relays();
    void friendsAsRecorded();
    void textBytesPassUnchanged();
    void quotasAsRecorded();
    void misbehavingClientsDoNotDisturbOthers();
    void clientThatNeverReadsIsDropped();
    void demoCrowdIsNotThrottledNorGrows();

private:
    // Logs a client on; it is kept under the name the gateway gave.
    RawClient *logon(const QString &name);
    RawClient *client(const QString &name) { return m_clients.at(name).get(); }
    // alice talks and bob hears it: the gateway still serves its users.
    bool stillServing(const QString &text);

    std::unique_ptr<Gateway> m_gateway;
    std::map<QString, std::unique_ptr<RawClient>> m_clients;
    qint64 m_now = 1000;
};

void TestGateway::init()
{
    // A fresh gateway; tests that send lines quickly and are not about the rules turn them off.
    m_clients.clear();
    m_gateway = std::make_unique<Gateway>(QStringLiteral("Quillon"));
    m_gateway->setServerRules(false);
    m_gateway->setClock([this] { return m_now; });
    m_gateway->setAdmins({QStringLiteral("carol")});
    QVERIFY(m_gateway->listen(QHostAddress::LocalHost, 0));
}

RawClient *TestGateway::logon(const QString &name)
{
    auto c = std::make_unique<RawClient>();
    if (!c->logon(m_gateway->serverPort(), name))
        return nullptr;
    return (m_clients[c->name] = std::move(c)).get();
}

bool TestGateway::stillServing(const QString &text)
{
    client(QStringLiteral("alice"))->send(text);
    RawClient *bob = client(QStringLiteral("bob"));
    return bob->waitFor(QStringLiteral("1005 TALK alice 0012 \"%1\"").arg(text)) && bob->framingOk;
}

void TestGateway::floodQuota_data()
{
    // One verdict a line: . passes, R refused, X hang-up, L too long.
    QTest::addColumn<QList<int>>("seconds");
    QTest::addColumn<QList<int>>("lengths");
    QTest::addColumn<QString>("verdicts");
    QTest::newRow("counts expire after five whole seconds")
        << QList<int>{0, 0, 0, 0, 4, 5, 5, 5, 5} << QList<int>(9, 6) << "....R...R";
    QTest::newRow("one per 40 characters, rounded up") << QList<int>{0, 0, 0} << QList<int>{40, 41, 81} << "..R";
    QTest::newRow("over 200 refused, not counted") << QList<int>(6, 0) << QList<int>{201, 999, 40, 40, 40, 40} << "LL....";
    QTest::newRow("refused lines count: two of 200 hang up") << QList<int>{0, 1} << QList<int>{200, 200} << "RX";
}

void TestGateway::floodQuota()
{
    QFETCH(QList<int>, seconds);
    QFETCH(QList<int>, lengths);
    FloodQuota quota;
    QString verdicts;
    for (qsizetype i = 0; i < seconds.size(); ++i)
        verdicts += QStringLiteral(".LRX")[int(quota.take(lengths[i], 5000 + seconds[i]))];
    QTEST(verdicts, "verdicts");
}

void TestGateway::splitterEndsLinesAtCrLfOrBoth()
{
    LineSplitter s;
    QCOMPARE(s.feed("a\rb\nc\r\nd"), (QByteArrayList{"a", "b", "c"}));
    // CR at the end of one piece, LF at the start of the next: one line end.
    QCOMPARE(s.feed("e\r"), (QByteArrayList{"de"}));
    QCOMPARE(s.feed("\nf\n\rg\r\r\n"), (QByteArrayList{"f", "", "g", ""}));
}

void TestGateway::logonAsRecorded()
{
    Accounts accounts;
    QVERIFY(accounts.parse("# who may log on\r\n\r\nbob:pw\nalice:Sec:ret \n", QStringLiteral("a"), nullptr));
    m_gateway->setAccounts(accounts);
    // Up to the NAME line an accepted logon gets the bytes the recorded server sent.
    RawClient bob;
    QVERIFY(bob.connectTo(m_gateway->serverPort()));
    bob.sendRaw("\x03\x04" "bob\r\npw\r\n");
    QVERIFY(bob.waitFor(QStringLiteral("1001 USER bob 0012 [CHAT]")));
    const QByteArray accepted = capture("flood-quota.bin");
    const qsizetype named = accepted.indexOf("2010 NAME bob\r\n") + 15;
    QCOMPARE(bob.received.left(named), accepted.left(named));

    // So does a refused one; the connection waits for another try.
    RawClient c;
    QVERIFY(c.connectTo(m_gateway->serverPort()));
    c.sendRaw("\x03\x04" "nosuchuser\r\nSec:ret \r\n");
    QTRY_COMPARE_WITH_TIMEOUT(c.received, capture("logon-refused.bin"), RawClient::Timeout);
    for (const QByteArray record : {"alice\r\nsec:ret \r\n", "two words\r\nSec:ret \r\n", "\x03\x04\r\n\r\n"}) {
        const qsizetype before = c.received.size();
        c.sendRaw(record);
        QTRY_VERIFY_WITH_TIMEOUT(c.received.mid(before).endsWith("\r\nLogin failed.\r\n\r\nUsername: "), RawClient::Timeout);
    }
    QCOMPARE(m_gateway->hub().userCount(), 1);
    // Bare LF line ends and no 0x03 0x04 work too, names in any case.
    c.sendRaw("ALICE\nSec:ret \n");
    QVERIFY(c.waitFor(QStringLiteral("Username: ALICE")) && c.waitFor(QStringLiteral("Password: ")));
    QVERIFY(c.waitFor(QStringLiteral("1001 USER bob 0012 [CHAT]")) && c.waitFor(QStringLiteral("1001 USER ALICE 0010 [CHAT]")));
    QVERIFY(bob.waitFor(QStringLiteral("1002 JOIN ALICE 0010 [CHAT]")));
}

void TestGateway::takenNamesGetSuffixes()
{
    QVERIFY(logon(QStringLiteral("dave")) && logon(QStringLiteral("dave")) && logon(QStringLiteral("DAVE")));
    QVERIFY(m_clients.count(QStringLiteral("dave#2")) && m_clients.count(QStringLiteral("DAVE#3")));
    client(QStringLiteral("dave"))->send(QStringLiteral("/w dave#2 hi two"));
    QVERIFY(client(QStringLiteral("dave#2"))->waitFor(QStringLiteral("1004 WHISPER dave 0012 \"hi two\"")));
    // A name freed by a closed connection is given out again.
    m_clients.erase(QStringLiteral("dave#2"));
    QTRY_COMPARE_WITH_TIMEOUT(m_gateway->hub().userCount(), 2, RawClient::Timeout);
    QVERIFY(logon(QStringLiteral("dave")));
    QVERIFY(m_clients.count(QStringLiteral("dave#2")));
}

void TestGateway::relays_data()
{
    // Steps: "who>line" sends a line, "who<line" waits for that exact line,
    // "who!text" makes sure no line holding text reached who.
    // alice came first (operator, 0012), then bob (0010) and carol (administrator, 0001).
    QTest::addColumn<QStringList>("steps");
    QTest::newRow("talk to the others, 8-bit text unchanged; emotes to everybody")
        << QStringList{"bob>hi \"you\" \u00A36869", "alice<1005 TALK bob 0010 \"hi \"you\" \u00A36869\"",
                       "carol<1005 TALK bob 0010 \"hi \"you\" \u00A36869\"", "bob!TALK", "bob>/me waves",
                       "alice<1023 EMOTE bob 0010 \"waves\"", "bob<1023 EMOTE bob 0010 \"waves\""};
    QTest::newRow("whisper and its echo, absent target")
        << QStringList{"alice>/w bob psst, a secret", "bob<1004 WHISPER alice 0012 \"psst, a secret\"",
                       "alice<1010 WHISPER bob 0010 \"psst, a secret\"", "carol!WHISPER",
                       "bob>/whisper ALICE back", "alice<1004 WHISPER bob 0010 \"back\"",
                       "alice>/w nobody hi", "alice<1019 ERROR \"That user is not logged on.\""};
    QTest::newRow("join, talk stays in the channel, operator passes on")
        << QStringList{"bob>/join Elsewhere", "alice<1003 LEAVE bob 0010", "bob<1007 CHANNEL \"Elsewhere\"",
                       "bob<1001 USER bob 0012 [CHAT]", "carol>anyone?", "alice<1005 TALK carol 0001 \"anyone?\"",
                       "bob!anyone?", "alice>/join elsewhere", "carol<1003 LEAVE alice 0012",
                       "carol<1009 USER carol 0003", "alice<1007 CHANNEL \"Elsewhere\"",
                       "alice<1001 USER bob 0012 [CHAT]", "alice<1001 USER alice 0010 [CHAT]",
                       "bob<1002 JOIN alice 0010 [CHAT]"};
    QTest::newRow("squelch hides talk, emotes and whispers")
        << QStringList{"alice>/squelch bob", "alice<1009 USER bob 0030", "bob>can you hear me?", "bob>/me shouts",
                       "bob>/w alice hello?", "carol<1005 TALK bob 0010 \"can you hear me?\"",
                       "bob<1010 WHISPER alice 0012 \"hello?\"", "alice!hear me", "alice!shouts", "alice!hello?",
                       "alice>/unsquelch bob", "alice<1009 USER bob 0010", "bob>now?",
                       "alice<1005 TALK bob 0010 \"now?\""};
    QTest::newRow("kick leaves the user in no channel")
        << QStringList{"bob>/kick carol", "bob<1019 ERROR \"You are not a channel operator.\"",
                       "alice>/kick bob too noisy", "bob<1018 INFO \"bob has been kicked by alice (too noisy).\"",
                       "bob<1003 LEAVE bob 0010", "carol<1018 INFO \"bob has been kicked by alice (too noisy).\"",
                       "carol<1003 LEAVE bob 0010", "bob>anyone here?", "bob!1007", "bob!1019", "carol!anyone here",
                       "bob>/join Quillon", "carol<1002 JOIN bob 0010 [CHAT]", "alice>/kick nobody",
                       "alice<1019 ERROR \"That user is not in this channel.\""};
    QTest::newRow("ban to the void, unban")
        << QStringList{"alice>/ban bob bye", "carol<1018 INFO \"bob has been banned by alice (bye).\"",
                       "bob<1007 CHANNEL \"The Void\"", "bob>/join quillon",
                       "bob<1019 ERROR \"You are banned from that channel.\"", "alice>/unban bob",
                       "carol<1018 INFO \"bob was unbanned by alice.\"", "bob>/join quillon",
                       "carol<1002 JOIN bob 0010 [CHAT]"};
    QTest::newRow("friends: refusals, one-sided friendship, removal")
        << QStringList{"bob>/f a bob", "bob<1018 INFO \"You can't add yourself to your friends list.\"",
                       "bob>/friends remove dave", "bob<1018 INFO \"dave was not found on your friends list.\"",
                       "carol>/f a BOB", "carol<1018 INFO \"Added BOB to your friends list.\"", "carol>/f l",
                       "carol<1018 INFO \"1:  bob, is in a chat channel,  using Chat\"", "carol>/f r Bob",
                       "carol<1018 INFO \"Removed Bob from your friends list.\"", "carol>/f l",
                       "carol<1018 INFO \"End of Friends List\"", "carol!1: "};
    const QString announced = QStringLiteral("<1006 _ \"Announcement from carol: maintenance soon\"");
    QTest::newRow("announcements by administrators only, unknown commands")
        << QStringList{"bob>/announce hi", "bob<1019 ERROR \"This command is reserved for admins.\"",
                       "carol>/announce maintenance soon", "alice" + announced, "bob" + announced, "carol" + announced,
                       "bob>/frobnicate", "bob<1019 ERROR \"That is not a valid command. Type /help for a list of commands.\""};
}

void TestGateway::relays()
{
    QFETCH(QStringList, steps);
    QVERIFY(logon(QStringLiteral("alice")) && logon(QStringLiteral("bob")) && logon(QStringLiteral("carol")));
    for (const QString &step : std::as_const(steps)) {
        const qsizetype at = step.indexOf(QRegularExpression(QStringLiteral("[<>!]")));
        RawClient *c = client(step.left(at));
        const QString rest = step.mid(at + 1);
        if (step[at] == QLatin1Char('>'))
            c->send(rest);
        else if (step[at] == QLatin1Char('<'))
            QVERIFY2(c->waitFor(rest), qPrintable(step));
        else
            QVERIFY2(c->sync() && !c->pendingContains(rest), qPrintable(step + " / " + c->lines.join(" | ")));
    }
    for (const auto &[name, c] : m_clients)
        QVERIFY(c->framingOk);
}

void TestGateway::friendsAsRecorded()
{
    // friends-list.bin: bob's friends alice (mutual, in "Chat") and carol (offline).
    const QByteArray recorded = capture("friends-list.bin");
    RawClient *alice = logon(QStringLiteral("alice"));
    RawClient *bob = logon(QStringLiteral("bob"));
    QVERIFY(alice && bob);
    alice->send(QStringLiteral("/join Chat"));
    QVERIFY(alice->waitFor(QStringLiteral("1007 CHANNEL \"Chat\"")) && bob->waitFor(QStringLiteral("1009 USER bob 0012")));
    bob->send(QStringLiteral("/f a alice"));
    QVERIFY(bob->waitFor(QStringLiteral("1018 INFO \"Added alice to your friends list.\"")));
    const qsizetype from = bob->received.size();
    bob->send(QStringLiteral("/f a alice"));
    QVERIFY(bob->waitFor(QStringLiteral("1018 INFO \"alice is already on your friends list!\"")));
    alice->send(QStringLiteral("/f a bob"));
    QVERIFY(bob->waitFor(QStringLiteral("1018 INFO \"alice added you to his/her friends list.\"")));
    for (const char *line : {"/f a carol", "/f l"})
        bob->send(QLatin1String(line));
    QVERIFY(bob->waitFor(QStringLiteral("1018 INFO \"End of Friends List\"")));
    const qsizetype start = recorded.indexOf("1018 INFO \"alice is already");
    QCOMPARE(bob->received.mid(from), recorded.mid(start, recorded.indexOf("End of Friends List") + 22 - start));

    // alice leaves and comes back; bob drops carol.
    m_clients.erase(QStringLiteral("alice"));
    QVERIFY(bob->waitFor(QStringLiteral("Your friend alice has left PvPGN Realm.")));
    QVERIFY(logon(QStringLiteral("alice")));
    QVERIFY(bob->waitFor(QStringLiteral("1004 WHISPER alice 0010 \"Your friend alice has entered PvPGN Realm.\"")));
    bob->send(QStringLiteral("/f r carol"));
    QVERIFY(bob->waitFor(QStringLiteral("1018 INFO \"Removed carol from your friends list.\"")));
    QVERIFY(recorded.contains("\r\nYour friend alice has left PvPGN Realm.\r\n1004 WHISPER alice 0010 \"Your friend alice has entered")
            && recorded.endsWith("1018 INFO \"Removed carol from your friends list.\"\r\n"));
}

void TestGateway::textBytesPassUnchanged()
{
    // utf8-and-windows-1252.bin: bob's UTF-8 and Windows-1252 talk and his UTF-8 whisper reach
    // alice byte for byte, and so do a whisper and an emote that end in "à" (C3 A0: A0 is no blank).
    QVERIFY(logon(QStringLiteral("alice")) && logon(QStringLiteral("bob")));
    QByteArrayList relayed = capture("utf8-and-windows-1252.bin").split('\n').mid(33, 3);
    QCOMPARE(relayed.size(), 3);
    relayed << "1004 WHISPER bob 0000 \"voil\xC3\xA0\"\r" << "1023 EMOTE bob 0000 \"voil\xC3\xA0\"\r";
    for (QByteArray line : std::as_const(relayed)) {
        const QByteArray text = line.mid(line.indexOf('"') + 1).chopped(2);
        client(QStringLiteral("bob"))->sendRaw((line.startsWith("1005") ? text : line.startsWith("1004") ? "/w alice " + text : "/me " + text) + "\r\n");
        QVERIFY(client(QStringLiteral("alice"))->waitFor(QString::fromLatin1(line.chopped(1).replace(" 0000 ", " 0010 "))));
    }
}

void TestGateway::quotasAsRecorded()
{
    m_gateway->setServerRules(true);
    RawClient *alice = logon(QStringLiteral("alice"));
    RawClient *bob = logon(QStringLiteral("bob"));
    QVERIFY(alice && bob);
    // line-length-quota.bin: 160 characters pass, 161 seven seconds later count five and are refused.
    const QString pass(160, QLatin1Char('a'));
    alice->send(pass);
    QVERIFY(bob->waitFor(QStringLiteral("1005 TALK alice 0012 \"%1\"").arg(pass)));
    m_now += 7;
    alice->send(QString(161, QLatin1Char('b')));
    QVERIFY(alice->waitFor(QuotaError));
    // Once that expired: over 200 characters are refused and do not count.
    m_now += 5;
    alice->send(QString(201, QLatin1Char('c')));
    QVERIFY(alice->waitFor(QStringLiteral("1019 ERROR \"Your line length quota has been exceeded!\"")));

    // flood-quota.bin: twelve lines in one second; four pass, six are refused, the tenth hangs up.
    for (int i = 1; i <= 12; ++i)
        alice->send(QStringLiteral("line %1").arg(i));
    QTRY_COMPARE_WITH_TIMEOUT(alice->socket.state(), QAbstractSocket::UnconnectedState, RawClient::Timeout);
    QTRY_VERIFY_WITH_TIMEOUT(bob->lines.contains(QStringLiteral("1009 USER bob 0012")), RawClient::Timeout);
    QStringList expected;
    for (int i = 1; i <= 4; ++i)
        expected << QStringLiteral("1005 TALK alice 0012 \"line %1\"").arg(i);
    QCOMPARE(bob->lines, expected << QStringLiteral("1003 LEAVE alice 0012") << QStringLiteral("1009 USER bob 0012"));
    const QByteArray recorded = capture("flood-quota.bin");
    const QByteArray refusals = recorded.mid(recorded.indexOf(QuotaError.toLatin1()));
    QVERIFY(alice->received.endsWith(refusals));
    QCOMPARE(alice->received.count(QuotaError.toLatin1()), 7);  // with the one for 161 characters
}

void TestGateway::misbehavingClientsDoNotDisturbOthers()
{
    QVERIFY(logon(QStringLiteral("alice")) && logon(QStringLiteral("bob")));
    RawClient *bob = client(QStringLiteral("bob"));
    QList<quint32> words(2048);
    QRandomGenerator(4711).fillRange(words.data(), words.size());
    const QByteArray garbage(reinterpret_cast<const char *>(words.constData()), 8192);
    // Before the logon garbage is taken for names and passwords, after it for talk.
    RawClient stranger;
    QVERIFY(stranger.connectTo(m_gateway->serverPort()));
    stranger.sendRaw(garbage);
    RawClient *carol = logon(QStringLiteral("carol"));
    QVERIFY(carol);
    // A line just under the 64 KiB bound passes whole; 256 KiB without a line end are dropped.
    carol->sendRaw(garbage + "\r\n" + QByteArray(60000, 'y') + "\r\n");
    const QString longTalk = QStringLiteral("1005 TALK carol 0001 \"%1\"").arg(QString(60000, QLatin1Char('y')));
    QTRY_VERIFY_WITH_TIMEOUT(bob->lines.contains(longTalk), RawClient::Timeout);
    for (int i = 0; i < 16; ++i) {
        carol->sendRaw(QByteArray(16 * 1024, 'x'));
        QTest::qWait(1);
    }
    carol->sendRaw("end of it\r\nhalf a li");
    QVERIFY(carol->waitFor(QStringLiteral("1019 ERROR \"Your line was longer than 65536 bytes and was dropped.\"")));
    // Connections cut before the logon and in the middle of a line are cleaned up.
    carol->socket.abort();
    stranger.socket.abort();
    QTRY_VERIFY_WITH_TIMEOUT(bob->lines.contains(QStringLiteral("1003 LEAVE carol 0001")), RawClient::Timeout);
    QTRY_COMPARE_WITH_TIMEOUT(m_gateway->clientCount(), 2, RawClient::Timeout);
    for (const QString &line : std::as_const(bob->lines))
        QVERIFY2(std::none_of(line.begin(), line.end(), [](QChar c) { return c.unicode() < 0x20; }), qPrintable(line));
    for (const char *dropped : {"xxx", "end of it", "half a li"})
        QVERIFY2(!bob->pendingContains(QLatin1String(dropped)), dropped);
    QVERIFY(stillServing(QStringLiteral("still here")));
}

void TestGateway::clientThatNeverReadsIsDropped()
{
    RawClient *sleepy = logon(QStringLiteral("sleepy"));
    QVERIFY(sleepy && logon(QStringLiteral("alice")));
    // From here on sleepy reads nothing: its buffers fill, then the gateway's queue up to the cap.
    sleepy->socket.disconnect(sleepy);
    sleepy->socket.setReadBufferSize(4096);
    for (int i = 0; i < 4000 && m_gateway->hub().find(QStringLiteral("sleepy")); ++i) {
        client(QStringLiteral("alice"))->send(QString(32 * 1024, QLatin1Char('z')));
        if (i % 8 == 0)
            QTest::qWait(1);
    }
    QTRY_COMPARE_WITH_TIMEOUT(m_gateway->hub().find(QStringLiteral("sleepy")), nullptr, RawClient::Timeout);
    // The gateway has handled all of alice's flood once her whois is answered;
    // a slow (instrumented) build takes a while for that.
    bool handled = false;
    for (int round = 0; round < 12 && !handled; ++round)
        handled = client(QStringLiteral("alice"))->sync();
    QVERIFY(handled);
    QVERIFY(logon(QStringLiteral("bob")) && stillServing(QStringLiteral("after the flood")));
}

void TestGateway::demoCrowdIsNotThrottledNorGrows()
{
    // The crowd talks far faster than the quotas allow: they are for sockets only.
    m_gateway->setServerRules(true);
    m_gateway->startDemo(5);
    RawClient *alice = logon(QStringLiteral("alice"));
    QVERIFY(alice && alice->waitFor(QStringLiteral("1005 TALK Mira 0012 \"Hello alice, welcome to Quillon!\"")));
    alice->send(QStringLiteral("/w Tobin are you real?"));
    const DemoCrowd &crowd = *m_gateway->demo();
    QTRY_VERIFY_WITH_TIMEOUT(crowd.stepsTaken() >= 5 * crowd.scriptLength(), 20000);
    QVERIFY(alice->sync());
    QSet<QString> seen;
    for (const QString &line : std::as_const(alice->lines)) {
        // A hex line is "£" and two digits for each printable character.
        const qsizetype marker = line.indexOf(QChar(0xA3));
        seen.insert(marker < 0 ? line.left(4) : QStringLiteral("hex"));
        const QRegularExpression hexDigits(QStringLiteral("^([2-7][0-9A-F])+\"$"));
        QVERIFY2(marker < 0 || hexDigits.match(line.mid(marker + 1)).hasMatch(), qPrintable(line));
    }
    // "Your" friend Ashe left; she came back with a whisper; Tobin wrote UTF-8.
    for (const char *kind : {"1002", "1003", "1004", "1005", "1009", "1023", "hex", "Your"})
        QVERIFY2(seen.contains(QLatin1String(kind)), kind);
    QVERIFY(alice->pendingContains(QStringLiteral("1004 WHISPER Tobin 0010 \"Thanks for the whisper, alice!")));
    QVERIFY(alice->pendingContains(QStringLiteral("1004 WHISPER Ashe 0010 \"Your friend Ashe has entered PvPGN Realm.\"")));
    QVERIFY(alice->pendingContains(QString::fromLatin1(QStringLiteral("caf\u00E9, \u043F\u0440\u0438").toUtf8())));
    // A guest's friends: Mira online and Ashe, both mutual; without Ashe no notices come.
    alice->send(QStringLiteral("/f l"));
    QVERIFY(alice->waitFor(QStringLiteral("1018 INFO \"1: *Mira, in channel \"Quillon\",,  using Brood War\"")));
    alice->send(QStringLiteral("/f r Ashe"));
    QVERIFY(alice->waitFor(QStringLiteral("1018 INFO \"Removed Ashe from your friends list.\"")));
    QVERIFY(m_gateway->hub().userCount() <= 5);
    // A guest that moves away is left alone.
    m_now += 5;
    alice->send(QStringLiteral("/join Elsewhere"));
    QVERIFY(alice->waitFor(QStringLiteral("1001 USER alice 0012 [CHAT]")));
    const int steps = crowd.stepsTaken();
    QTRY_VERIFY_WITH_TIMEOUT(crowd.stepsTaken() >= steps + 2 * crowd.scriptLength(), 20000);
    QVERIFY(alice->sync() && alice->lines.isEmpty());
}

QTEST_GUILESS_MAIN(TestGateway)
#include "tst_gateway.moc"
