#include "AntiIdle.h"

#include "chat/ChatSession.h"
#include "settings/SettingsAccess.h"

AntiIdle::AntiIdle(ChatSession &session, QObject *parent)
    : QObject(parent)
    , m_session(session)
{
    connect(&tmr1, &QTimer::timeout, this, &AntiIdle::tick1);
    connect(&tmr2, &QTimer::timeout, this, &AntiIdle::tick2);
}

AntiIdle::Stage AntiIdle::stage() const
{
    if (tmr2.isActive())
        return Stage::Second;
    if (tmr1.isActive())
        return Stage::First;
    return Stage::Off;
}

void AntiIdle::InitAI()
{
    tmr1.start(StageMs);      // start() restarts a running count
    tmr2.stop();
}

void AntiIdle::stop()
{
    tmr1.stop();
    tmr2.stop();
}

void AntiIdle::tick1()
{
    tmr1.stop();
    tmr2.start(StageMs);
}

void AntiIdle::tick2()
{
    // Read now: the message may have been edited since the last round.
    const QString message = m_session.settings().idleMessage();
    // Refused (no connection, or not logged on yet): stay armed, the next try
    // comes a stage later, and nothing is said about it. Chat text is echoed
    // when it leaves the send queue.
    if (!m_session.outbox().say(message))
        return;
    tmr2.stop();
    tmr1.start(StageMs);
}
