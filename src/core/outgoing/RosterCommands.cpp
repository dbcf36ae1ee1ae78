#include "RosterCommands.h"

#include "InputBuffer.h"
#include "chat/ChatSession.h"
#include "chat/Colors.h"
#include "chat/TimeStamp.h"
#include "chat/TranscriptSink.h"

RosterCommands::RosterCommands(ChatSession &session, TranscriptSink &upper, InputBuffer &input, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_upper(upper)
    , m_input(input)
{
}

bool RosterCommands::sendFor(const QString &prefix)
{
    if (!hasTarget())
        return false;
    return m_session.outbox().queueLine(prefix + m_session.selName());
}

// Without a selected user a command would go to nobody ("/whois "): say so
// instead.
bool RosterCommands::hasTarget()
{
    if (!m_session.selName().isEmpty())
        return true;
    m_upper.AddText(TimeStamp::now() + NoTarget + CrLf, Colors::Red);
    return false;
}

void RosterCommands::whois() { sendFor(QStringLiteral("/whois ")); }
void RosterCommands::squelch() { sendFor(QStringLiteral("/squelch ")); }
void RosterCommands::unsquelch() { sendFor(QStringLiteral("/unsquelch ")); }
void RosterCommands::ban() { sendFor(QStringLiteral("/ban ")); }
void RosterCommands::kick() { sendFor(QStringLiteral("/kick ")); }

void RosterCommands::whisper()
{
    if (!hasTarget())
        return;
    emit conversationRequested(m_session.selName());
    if (m_input.editText().isEmpty())
        return;
    const QString line = QStringLiteral("/w ") + m_session.selName() + QLatin1Char(' ') + m_input.editText();
    // A refused whisper leaves the text in place so nothing typed is lost.
    if (m_session.outbox().say(line))
        m_input.clearEditText();
}

void RosterCommands::copyName()
{
    m_input.setEditText(m_input.editText() + m_session.selName());
}
