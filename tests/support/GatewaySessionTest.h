#pragma once
// A test case whose every function gets a fresh chat session connected to
// nothing yet, a scripted gateway on loopback for it, recording panes and
// plain settings. Tests derive from it and call the set-up and tear-down
// from their init() and cleanup().

#include "FakeSettings.h"
#include "RecordingSink.h"
#include "ScriptedGateway.h"
#include "chat/ChatSession.h"

#include <QObject>

class GatewaySessionTest : public QObject
{
    Q_OBJECT
protected:
    // False when the gateway cannot listen.
    bool setUpSession()
    {
        settings = new FakeSettings;
        upper = new RecordingSink;
        lower = new RecordingSink;
        gateway = new ScriptedGateway;
        if (!gateway->listen())
            return false;
        session = new ChatSession(*settings, *upper, *lower);
        session->setPortForTesting(gateway->port());
        session->setRetryBaseForTesting(20);
        return true;
    }
    void tearDownSession()
    {
        delete session;
        delete gateway;
        delete lower;
        delete upper;
        delete settings;
        session = nullptr;
        gateway = nullptr;
        lower = upper = nullptr;
        settings = nullptr;
    }

    FakeSettings *settings = nullptr;
    RecordingSink *upper = nullptr;
    RecordingSink *lower = nullptr;
    ChatSession *session = nullptr;
    ScriptedGateway *gateway = nullptr;
};
