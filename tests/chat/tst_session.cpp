// The connection against a scripted gateway on loopback: the logon bytes,
// outgoing lines, the window state through logon and disconnection, the
// reconnection rules and socket failures.

#include "GatewaySessionTest.h"
#include "chat/ChatSession.h"
#include "chat/Colors.h"
#include "chat/TimeStamp.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>

using namespace Colors;

class SessionTest : public GatewaySessionTest
{
    Q_OBJECT


    // Connects and waits for the logon record.
    void connectAndLogOn()
    {
        session->Login();
        QVERIFY(gateway->waitForClient());
        QVERIFY(gateway->waitForReceivedEnding(settings->passwordValue.toLatin1() + "\r\n"));
        gateway->take();
    }
    int countOf(const QString &text) const
    {
        int n = 0;
        for (const Run &r : upper->runs)
            n += r.text == text;
        return n;
    }

private slots:
    void initTestCase() { TimeStamp::setClockForTesting([] { return QTime(1, 2, 3); }); }
    void init() { QVERIFY(setUpSession()); }
    void cleanup() { tearDownSession(); }

    void logonRecord_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QByteArray>("record");
        QTest::newRow("two and two") << "ab" << "cd" << QByteArray("\x03\x04" "ab\r\ncd\r\n");
        QTest::newRow("empty") << "" << "" << QByteArray("\x03\x04\r\n\r\n");
        QTest::newRow("8-bit") << QStringLiteral("\u00A3x") << "p" << QByteArray("\x03\x04\xA3x\r\np\r\n");
    }
    void logonRecord()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(QByteArray, record);
        settings->userNameValue = name;
        settings->passwordValue = password;
        QSignalSpy focus(session, &ChatSession::inputFocusRequested);
        session->Login();
        QCOMPARE(upper->runs.first(), (Run{"Connecting to 127.0.0.1...\r\n", Red}));
        QVERIFY(session->isActive());
        QVERIFY(gateway->waitForClient());
        QVERIFY(gateway->waitForBytes(record.size()));
        QTest::qWait(20);
        QCOMPARE(gateway->received(), record);
        QCOMPARE(upper->runs.at(1), (Run{"Connected! Logging on...\r\n", Green}));
        QCOMPARE(focus.size(), 1);
    }

    void outgoingLinesEndInOneCR()
    {
        QVERIFY(!session->SendLine("early"));
        connectAndLogOn();
        QVERIFY(session->isConnected());
        QVERIFY(session->SendLine("hello"));
        QVERIFY(session->SendLine(QStringLiteral("5 \u00A3 \u20AC \u4E2D")));
        QVERIFY(session->SendLine("hi\r\n/kick x"));
        const QByteArray expected("hello\r5 \xA3 \x80 ?\rhi  /kick x\r");
        QVERIFY(gateway->waitForBytes(expected.size()));
        QCOMPARE(gateway->take(), expected);
    }

    void conversationSplitByteByByte()
    {
        connectAndLogOn();
        const QByteArray script = "2010 NAME bob\r\n1018 INFO \"Welcome to Battle.net!\"\r\n"
                                  "1007 CHANNEL \"Lobby\"\r\n1001 USER bob 0010 [CHAT]\r\n1001 USER Ann 0012 [STAR]\r\n"
                                  "1004 WHISPER Ann 0012 \"psst\"\r\n1005 TALK Ann 0012 \"hi all\"\r\n";
        QSignalSpy states(session, &ChatSession::stateChanged);
        for (char c : script) {
            gateway->send(QByteArray(1, c));
            QTest::qWait(0);
        }
        QTRY_COMPARE_WITH_TIMEOUT(session->roster().count(), 2, 5000);
        QTRY_VERIFY_WITH_TIMEOUT(upper->plainText().endsWith(QLatin1String("hi all\r\n")), 5000);
        QCOMPARE(session->ownName(), QStringLiteral("bob"));
        QCOMPARE(session->state(), ChatSession::State::LoggedOn);
        QCOMPARE(session->channel(), QStringLiteral("Lobby"));
        QCOMPARE(session->replyName(), QStringLiteral("Ann"));
        QCOMPARE(session->roster().countLabel(), QStringLiteral(" 2"));
        QVERIFY(gateway->waitForBytes(18));
        QCOMPARE(gateway->take(), QByteArray("/join Bounty Hunters\r"));
    }

    void peerCloseAfterLogonReconnectsAtOnce()
    {
        settings->autoReconnectValue = true;
        connectAndLogOn();
        gateway->sendLines({"2010 NAME bob", "1007 CHANNEL \"Lobby\"", "1001 USER bob 0010 [CHAT]",
                            "1004 WHISPER Ann 0010 \"x\""});
        QTRY_COMPARE_WITH_TIMEOUT(session->roster().count(), 1, 5000);
        upper->clear();
        gateway->dropClient();
        QTRY_VERIFY_WITH_TIMEOUT(countOf("Disconnected.\r\n\r\n") == 1, 5000);
        QCOMPARE(upper->runs.at(1), (Run{"Connecting to 127.0.0.1...\r\n", Red}));
        QVERIFY(session->isActive());
        QCOMPARE(session->roster().count(), 0);
        QCOMPARE(session->roster().countLabel(), QStringLiteral("0"));
        QCOMPARE(session->channel(), QString());
        QVERIFY(session->replyName().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(gateway->clientCount(), 2, 5000);
        QTest::qWait(50);
        QCOMPARE(countOf("Disconnected.\r\n\r\n"), 1);   // our own close is not a second disconnection
    }

    void peerCloseWithoutReconnectGoesIdle()
    {
        connectAndLogOn();
        gateway->sendLines({"2010 NAME bob", "1018 INFO \"last words\""});
        gateway->dropClient();
        QTRY_VERIFY_WITH_TIMEOUT(!session->isActive(), 5000);
        QVERIFY(lower->plainText().contains(QLatin1String("last words")));
        QCOMPARE(session->channel(), QString());
        QTest::qWait(100);
        QCOMPARE(gateway->clientCount(), 1);
        QCOMPARE(countOf("Disconnected.\r\n\r\n"), 1);
    }

    void userDisconnectKeepsTheReconnectSetting()
    {
        settings->autoReconnectValue = true;
        connectAndLogOn();
        session->disconnectByUser();
        QVERIFY(!session->isActive());
        QVERIFY(settings->autoReconnectValue);
        QTest::qWait(100);
        QCOMPARE(gateway->clientCount(), 1);
        QCOMPARE(countOf("Disconnected.\r\n\r\n"), 1);
    }

    void refusedConnectionSaysWhyAndBacksOff()
    {
        settings->autoReconnectValue = true;
        gateway->close();
        session->Login();
        QTRY_VERIFY_WITH_TIMEOUT(upper->runs.size() >= 3, 5000);
        QVERIFY(upper->runs.at(1).text.startsWith(QLatin1String("Connection failed: ")));
        QCOMPARE(upper->runs.at(1).color, Red);
        QCOMPARE(upper->runs.at(2), (Run{"Disconnected.\r\n\r\n", Red}));
        QVERIFY(session->reconnectPending());
        QVERIFY(!session->isActive());
        // Each failed attempt doubles the wait.
        QTRY_VERIFY_WITH_TIMEOUT(countOf("Disconnected.\r\n\r\n") >= 3, 5000);
        QVERIFY(session->nextRetryDelayMs() >= 80);
        session->cancelPendingReconnect();
        QVERIFY(!session->reconnectPending());
        const int attempts = countOf("Disconnected.\r\n\r\n");
        QTest::qWait(300);
        QCOMPARE(countOf("Disconnected.\r\n\r\n"), attempts);
    }

    void acceptAndCloseIsPacedAndALogonResetsTheWait()
    {
        settings->autoReconnectValue = true;
        gateway->setAcceptAndClose(true);
        session->Login();
        QTRY_VERIFY_WITH_TIMEOUT(gateway->clientCount() >= 4, 5000);
        QVERIFY(session->nextRetryDelayMs() >= 160);
        gateway->setAcceptAndClose(false);
        QTRY_VERIFY_WITH_TIMEOUT(gateway->client() && gateway->client()->state() == QAbstractSocket::ConnectedState, 10000);
        gateway->sendLines({"2010 NAME bob"});
        QTRY_COMPARE_WITH_TIMEOUT(session->ownName(), QStringLiteral("bob"), 5000);
        QCOMPARE(session->nextRetryDelayMs(), 20);
    }
};

QTEST_GUILESS_MAIN(SessionTest)
#include "tst_session.moc"
