// The connection against a scripted gateway on loopback: the back-off, the
// server address, the logon bytes, outgoing lines, the channel state and the
// home join, disconnection with and without reconnection, and a refused
// connection that waits longer each time until the user connects again.

#include "GatewaySessionTest.h"
#include "chat/Colors.h"

#include <QMetaEnum>
#include <QSignalSpy>

using Colors::Red;
using State = ChatSession::State;
using ChannelState = ChatSession::ChannelState;

class SessionTest : public GatewaySessionTest
{
    Q_OBJECT
    const Run Connecting{"Connecting to 127.0.0.1..." + CrLf, Red};

private slots:
    void backoffDoublesUpToAMinute()
    {
        ReconnectBackoff backoff;
        QList<int> waits;
        for (int i = 0; i < 8; ++i)
            waits << backoff.next();
        QCOMPARE(waits, (QList<int>{1000, 2000, 4000, 8000, 16000, 32000, 60000, 60000}));
    }

    void parseServer_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<QString>("address");   // "host port", empty when refused
        QTest::newRow("host") << " example.org " << "example.org 6112";
        QTest::newRow("host:port") << "example.org:7000" << "example.org 7000";
        QTest::newRow("IPv6 with port") << "[::1]:6113" << "::1 6113";
        QTest::newRow("IPv6 in brackets") << "[::1]" << "::1 6112";
        QTest::newRow("bare IPv6") << "fe80::1" << "fe80::1 6112";
        for (const char *bad : {"", "host:", "host:0", "host:65536", "host:6x", "[::1", "[::1]6112", "[::1]:", ":6112", "a b"})
            QTest::newRow(bad) << bad << "";
    }
    void parseServer()
    {
        QFETCH(QString, server);
        const auto address = ChatSession::parseServer(server);
        QTEST(address ? address->host + ' ' + QString::number(address->port) : QString(), "address");
    }

    void logonRecord_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("two and two") << "ab" << "cd" << QByteArray("\x03\x04" "ab\r\ncd\r\n");
        QTest::newRow("empty") << "" << "" << QByteArray("\x03\x04\r\n\r\n");
        QTest::newRow("UTF-8") << "\u00A3x" << "p" << QByteArray("\x03\x04\xC2\xA3x\r\np\r\n");
    }
    void logonRecord()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QByteArray, record);
        settings.setText("UserName", name);
        settings.setText("PassWord", password);
        QSignalSpy focus(session.get(), &ChatSession::inputFocusRequested);
        session->Login();
        QTRY_COMPARE(gateway->received(), record);
        QCOMPARE(session->state(), State::LoggingOn);
        QCOMPARE(upper.runs, (QList<Run>{Connecting, {"Connected! Logging on..." + CrLf, Colors::Green}}));
        QCOMPARE(focus.size(), 1);
    }

    void outgoingLinesEndInOneCR()
    {
        QVERIFY(!session->SendLine("early"));
        QVERIFY(logOn());
        for (const char *line : {"hello", "5 \u00A3 \u20AC \u4E2D", "hi\r\n/kick x"})   // one call, one line
            QVERIFY(session->SendLine(line));
        settings.setText("TextEncoding", "windows-1252");   // today's bytes
        QVERIFY(session->SendLine("5 \u00A3 \u20AC \u4E2D"));
        QCOMPARE(wireUpToMarker(), QByteArray("hello\r5 \xC2\xA3 \xE2\x82\xAC \xE4\xB8\xAD\rhi  /kick x\r5 \xA3 \x80 ?\r"));
    }

    void disconnection_data()
    {
        QTest::addColumn<bool>("autoReconnect");
        QTest::addColumn<bool>("byUser");
        QTest::addColumn<bool>("stable");
        QTest::newRow("peer close, reconnect on") << true << false << true;
        QTest::newRow("peer close soon after the logon") << true << false << false;
        QTest::newRow("peer close, reconnect off") << false << false << true;
        QTest::newRow("user, reconnect on") << true << true << true;
    }
    void disconnection()
    {
        QFETCH(bool, autoReconnect);
        QFETCH(bool, byUser);
        QFETCH(bool, stable);
        settings.setFlag("AutoReconnect", autoReconnect);
        session->setStableAfterForTesting(stable ? 0 : 60000);
        QVERIFY(logOn());
        session->backoff().next();   // as after an automatic attempt
        // Lines split anywhere, down to single bytes, still arrive whole.
        for (char c : QByteArray("1001 USER bob 0010 [CHAT]\r\n1004 WHISPER Ann 0010 \"x\"\r\n")) {
            gateway->send(QByteArray(1, c));
            QTest::qWait(0);
        }
        QTRY_COMPARE(session->replyName(), QStringLiteral("Ann"));
        QCOMPARE(session->roster().count(), 1);
        upper.clear();
        byUser ? session->disconnectByUser() : gateway->dropClient();
        QTRY_COMPARE(upper.count(Disconnected), 1);
        QCOMPARE(upper.runs.first(), (Run{Disconnected, Red}));
        QCOMPARE(session->roster().countLabel(), QStringLiteral("0"));
        QVERIFY(session->channel().isEmpty() && session->replyName().isEmpty());
        // A connection that lived comes back at once and starts the waits
        // over; one that ended soon after its logon waits like a failed one.
        const bool reconnects = autoReconnect && !byUser;
        // A waiting attempt may already have started in a slow build: only
        // the cases without a timer pin the state here; the lines below tell
        // a wait from an immediate attempt.
        if (!reconnects || stable)
            QCOMPARE(session->isActive(), reconnects);
        const Run waits{"Reconnecting in 0.04 seconds..." + CrLf, Red};
        QCOMPARE(upper.runs.value(1), !reconnects ? Run() : stable ? Connecting : waits);
        if (reconnects && stable)
            QCOMPARE(session->backoff().peek(), 20);
        QTRY_COMPARE(gateway->clientCount(), reconnects ? 2 : 1);
        QTest::qWait(100);
        QCOMPARE(upper.count(Disconnected), 1);   // our own close is not a second one
        if (byUser)   // and the server sees it
            QCOMPARE(gateway->client()->state(), QAbstractSocket::UnconnectedState);
    }

    // The label reads the state and name the signal carries: a kick and then
    // the server's close end "not logged on"; an empty channel name is a channel.
    void channelState_data()
    {
        QTest::addColumn<QByteArray>("line");
        QTest::addColumn<bool>("close");
        QTest::addColumn<QString>("changes");
        QTest::newRow("kick, close") << QByteArray("1003 LEAVE bob 0000") << true << "Left: NoneYet:";
        QTest::newRow("empty channel") << QByteArray("1007 CHANNEL \"\"") << false << "Joined:";
        QTest::newRow("empty channel, close") << QByteArray("1007 CHANNEL \"\"") << true << "Joined: NoneYet:";
    }
    void channelState()
    {
        QFETCH(QByteArray, line);
        QFETCH(bool, close);
        QVERIFY(logOn());
        QSignalSpy changes(session.get(), &ChatSession::channelChanged);
        gateway->sendLines({line});
        QTRY_COMPARE(changes.size(), 1);
        if (close) {
            gateway->dropClient();
            QTRY_COMPARE(session->state(), State::Disconnected);
        }
        QStringList seen;
        for (const QList<QVariant> &change : changes)
            seen << QMetaEnum::fromType<ChannelState>().valueToKey(int(change.value(0).value<ChannelState>())) + (':' + change.value(1).toString());
        QTEST(seen.join(' '), "changes");
    }

    // A welcome line before the logon: the home join goes out once the logon
    // is accepted, and only once.
    void welcomeBeforeTheLogonStillJoins()
    {
        settings.setText("HomeChan", "Lobby");
        session->Login();
        QVERIFY(QTest::qWaitFor([&] { return gateway->received().count("\r\n") >= 2; }));
        gateway->take();
        gateway->sendLines({"1018 INFO \"Welcome to Battle.net!\"", "2010 NAME bob", "1007 CHANNEL \"Chat\""});
        QTRY_COMPARE(session->channel(), QStringLiteral("Chat"));
        QCOMPARE(wireUpToMarker(), QByteArray("/f l\r/join Lobby\r"));
    }

    void refusedConnectionWaitsLongerEachTime()
    {
        settings.setFlag("AutoReconnect", true);
        // A typed port wins over the default one.
        settings.setText("Server", "127.0.0.1:" + QString::number(gateway->port()));
        session->setPortForTesting(9);
        gateway.reset();   // nobody listens on its port any more
        const Run refused{"Connection failed: " + settings.server() + " refused the connection." + CrLf, Red};
        session->Login();
        QTRY_COMPARE(session->state(), State::Waiting);
        QCOMPARE(upper.runs.at(1), refused);
        QCOMPARE(upper.runs.at(2), (Run{Disconnected, Red}));
        QCOMPARE(upper.runs.at(3), (Run{"Reconnecting in 0.02 seconds..." + CrLf, Red}));
        QTRY_COMPARE(upper.count("Reconnecting in 0.04 seconds..." + CrLf), 1);
        session->cancelPendingReconnect();
        QCOMPARE(upper.runs.last(), (Run{"Automatic reconnection cancelled." + CrLf, Red}));
        QCOMPARE(session->state(), State::Disconnected);
        QTest::qWait(200);
        QCOMPARE(upper.count(Disconnected), 2);
        // Connecting by hand starts the waits over.
        session->Login();
        QTRY_COMPARE(upper.count("Reconnecting in 0.02 seconds..." + CrLf), 2);
        session->cancelPendingReconnect();
    }

    // Lines after the logon: which open a conversation, which alert, what
    // the panes show, and what the friends list reads (its reply was asked
    // for at the logon and is hidden).
    void whispersAndFriends_data()
    {
        QTest::addColumn<QList<QByteArray>>("lines");
        QTest::addColumn<QStringList>("conversations");   // "user sent|received"
        QTest::addColumn<int>("alerts");
        QTest::addColumn<QString>("upperText");
        QTest::addColumn<QString>("lowerText");
        QTest::addColumn<QStringList>("friends");          // name: status
        const QByteArray head = "1018 INFO \"Your PvPGN Realm - Friends List\"";
        const QByteArray rule = "1018 INFO \"=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=\"";
        const QList<QByteArray> reply = {head, rule, "1018 INFO \"1: *Mira, in channel \"Chat\",,  using Chat\"",
                                         "1018 INFO \"2:  Ashe, offline,  using Chat\"", rule,
                                         "1018 INFO \"End of Friends List\""};
        QTest::newRow("whisper opens, reply hidden")
            << (reply + QList<QByteArray>{"1004 WHISPER Mira 0010 \"psst\"", "1010 WHISPER Mira 0010 \"hi\""})
            << QStringList{"Mira received", "Mira sent"} << 1
            << "[15:04:05]  Mira whispers: psst\r\n[15:04:05]  You whisper to Mira: hi\r\n" << QString()
            << QStringList{"Mira: in channel", "Ashe: offline"};
        QTest::newRow("friend comes and goes")
            << (reply + QList<QByteArray>{"1004 WHISPER Ashe 0010 \"Your friend Ashe has entered PvPGN Realm.\"",
                                          "Your friend Mira has left PvPGN Realm."})
            << QStringList() << 0 << QString()
            << "[15:04:05]  Your friend Ashe has entered PvPGN Realm.\r\n"
               "[15:04:05]  Your friend Mira has left PvPGN Realm.\r\n"
            << QStringList{"Mira: offline", "Ashe: online"};
        QTest::newRow("reply breaks off: lines shown")
            << QList<QByteArray>{head, rule, "1018 INFO \"No such user.\""} << QStringList() << 0 << QString()
            << "[15:04:05]  Your PvPGN Realm - Friends List\r\n[15:04:05]  =-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=\r\n"
               "[15:04:05]  No such user.\r\n"
            << QStringList();
    }
    void whispersAndFriends()
    {
        QFETCH(QList<QByteArray>, lines);
        QFETCH(QStringList, conversations);
        QFETCH(int, alerts);
        QFETCH(QString, upperText);
        QFETCH(QString, lowerText);
        QFETCH(QStringList, friends);
        QStringList opened;
        connect(session.get(), &ChatSession::conversationLine, this,
                [&](const QString &user, bool received) { opened << user + (received ? " received" : " sent"); });
        QSignalSpy alerted(session.get(), &ChatSession::alert);
        QVERIFY(logOn());
        gateway->sendLines(lines);
        QTRY_COMPARE(upper.plainText() + lower.plainText(), upperText + lowerText);
        QCOMPARE(upper.plainText(), upperText);
        QCOMPARE(opened, conversations);
        QCOMPARE(alerted.count(), alerts);
        QStringList listed;
        for (const FriendsModel::Friend &f : session->friends().model().friends())
            listed << f.name + ": " + f.status;
        QCOMPARE(listed, friends);
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_session.moc"
