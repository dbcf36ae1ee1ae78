#pragma once
// The one fixture of the tests that talk to a scripted gateway. Every test
// function gets a fresh gateway on 127.0.0.1, plain settings, two empty
// recording panes and a session pointed at the gateway, with the clock
// pinned at 15:04:05 and the first reconnection wait cut to 20 ms. Test
// classes derive from it; one with its own init() calls this one first.

#include "FakeSettings.h"
#include "RecordingSink.h"
#include "ScriptedGateway.h"
#include "chat/ChatSession.h"
#include "chat/TimeStamp.h"

#include <memory>

class GatewaySessionTest : public QObject
{
    Q_OBJECT
protected:
    static inline const QString Disconnected = "Disconnected." + CrLf + CrLf;

    // Connects `s`, already pointed at the gateway, unless a connection is
    // under way (a reconnection, the login dialog's), answers its logon record
    // with 2010 NAME and 1007 CHANNEL "Lobby" and waits for the home channel's
    // join ("/f l" goes first). The wire and the fixture's panes then start empty.
    bool logOn(ChatSession &s, const QByteArray &name = "bob")
    {
        if (!s.isActive())
            s.Login();
        if (!QTest::qWaitFor([&] { return gateway->received().count("\r\n") >= 2; }) || gateway->take().isEmpty())
            return false;
        gateway->sendLines({"2010 NAME " + name, "1007 CHANNEL \"Lobby\""});
        // The friends list is asked for at the logon, before the join.
        const bool joined = QTest::qWaitFor([&] {
            const QByteArray wire = gateway->received();
            return wire.contains("/join ") && wire.endsWith('\r');
        }) && gateway->take().startsWith("/f l\r/join ");
        upper.clear();
        lower.clear();
        return joined && s.state() == ChatSession::State::LoggedOn;
    }
    bool logOn() { return logOn(*session); }

    // What the gateway received up to a marker line sent after the action:
    // both what went out and that nothing else did.
    QByteArray wireUpToMarker(ChatSession &s)
    {
        const bool marked = s.SendLine(QStringLiteral("#marker")) && gateway->waitForReceivedEnding("#marker\r");
        return marked ? gateway->take().chopped(8) : QByteArray("<no marker>");
    }
    QByteArray wireUpToMarker() { return wireUpToMarker(*session); }

    FakeSettings settings;
    RecordingSink upper;
    RecordingSink lower;
    std::unique_ptr<ScriptedGateway> gateway;
    std::unique_ptr<ChatSession> session;

protected slots:
    void init()
    {
        TimeStamp::setClockForTesting([] { return QTime(15, 4, 5); });
        settings = FakeSettings();
        upper.clear();
        lower.clear();
        gateway = std::make_unique<ScriptedGateway>();
        QVERIFY(gateway->listen());
        session = std::make_unique<ChatSession>(settings, upper, lower);
        session->setPortForTesting(gateway->port());
        session->backoff().setFirstForTesting(20);
    }
};
