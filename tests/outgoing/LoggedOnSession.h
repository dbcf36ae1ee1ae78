#pragma once
// A real ChatSession logged on to a scripted gateway as "bob", with the
// clock pinned, recording panes, and wire helpers for exact byte checks.

#include "FakeSettings.h"
#include "RecordingSink.h"
#include "ScriptedGateway.h"
#include "chat/ChatSession.h"
#include "chat/Colors.h"
#include "chat/TimeStamp.h"

#include <QDeadlineTimer>
#include <QTest>

struct LoggedOnSession {
    LoggedOnSession() { TimeStamp::setClockForTesting([] { return QTime(15, 4, 5); }); }
    ~LoggedOnSession() { TimeStamp::setClockForTesting({}); }

    // Connects, answers the logon with "2010 NAME bob" and forgets what the
    // panes and the wire saw so far.
    bool logOn()
    {
        if (!gateway.listen())
            return false;
        session.setPortForTesting(gateway.port());
        session.Login();
        if (!gateway.waitForClient() || !gateway.waitForReceivedEnding("\r\nWanderers\r\n"))
            return false;
        gateway.take();
        gateway.sendLines({"2010 NAME bob"});
        if (!waitUntil([this] { return session.ownName() == QLatin1String("bob"); }))
            return false;
        upper.clear();
        lower.clear();
        return session.isConnected();
    }

    template<typename Pred>
    static bool waitUntil(Pred done, int timeoutMs = 5000)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!done() && !deadline.hasExpired())
            QTest::qWait(5);
        return done();
    }

    // Everything the gateway received up to and including a marker line sent
    // after the action: proves both what went out and that nothing else did.
    QByteArray wireUpToMarker()
    {
        if (!session.SendLine(QStringLiteral("#marker")) || !gateway.waitForReceivedEnding("#marker\r"))
            return "<no marker>";
        QByteArray all = gateway.take();
        all.chop(8);
        return all;
    }

    static QList<Run> ownEcho(const QString &text)
    {
        return {{TimeStamp::now(), Colors::Red},
                {QStringLiteral("bob: "), Colors::LogonBlue},
                {text + QStringLiteral("\r\n"), Colors::White}};
    }

    FakeSettings settings;
    RecordingSink upper;
    RecordingSink lower;
    ScriptedGateway gateway;
    ChatSession session{settings, upper, lower};
};
