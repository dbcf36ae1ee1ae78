#include "RosterCommands.h"

#include "InputBuffer.h"
#include "chat/ChatSession.h"

RosterCommands::RosterCommands(ChatSession &session, InputBuffer &input, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_input(input)
{
}

bool RosterCommands::sendFor(const QString &prefix)
{
    return m_session.SendLine(prefix + m_session.selName());
}

void RosterCommands::whois() { sendFor(QStringLiteral("/whois ")); }
void RosterCommands::squelch() { sendFor(QStringLiteral("/squelch ")); }
void RosterCommands::unsquelch() { sendFor(QStringLiteral("/unsquelch ")); }
void RosterCommands::ban() { sendFor(QStringLiteral("/ban ")); }
void RosterCommands::kick() { sendFor(QStringLiteral("/kick ")); }

void RosterCommands::whisper()
{
    const QString line = QStringLiteral("/w ") + m_session.selName() + QLatin1Char(' ') + m_input.editText();
    // A refused whisper leaves the text in place so nothing typed is lost.
    if (m_session.SendLine(line))
        m_input.clearEditText();
}

void RosterCommands::copyName()
{
    m_input.setEditText(m_input.editText() + m_session.selName());
}
