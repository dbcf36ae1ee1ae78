#include "SendPath.h"

#include "InputBuffer.h"
#include "chat/ChatSession.h"
#include "chat/Colors.h"
#include "chat/TimeStamp.h"
#include "chat/TranscriptSink.h"
#include "codec/QuillonEngine.h"
#include "conversations/Whispers.h"
#include "codec/Wire.h"

SendPath::SendPath(ChatSession &session, TranscriptSink &upper, InputBuffer &input, QObject *parent)
    : QObject(parent)
    , m_session(session)
    , m_upper(upper)
    , m_input(input)
{
}

void SendPath::Send()
{
    // Without a connection the typed text simply waits in the input line.
    if (!m_session.isConnected())
        return;

    QString line = m_input.editText();
    if (line.isEmpty())
        return;

    // Until the server accepts the logon it takes every line as the next
    // user name or password: nothing typed may go out yet.
    if (m_session.state() != ChatSession::State::LoggedOn) {
        refuse(LogonInProgress);
        return;
    }
    if (refuseUnencodable(line))
        return;

    if (!line.startsWith(QLatin1Char('/'))) {
        // Talk in no channel reaches nobody; commands (/join) still go out.
        // Before the server's first channel line counts as in none.
        if (!m_session.inChannel()) {
            refuse(NoChannel);
            return;
        }
        dispatch(line);
        return;
    }

    if (line.startsWith(HexCommand)) {
        m_input.setEditText(line.mid(HexCommand.size()));
        hexSend();      // sends through a nested Send()
        return;
    }

    if (line.startsWith(ReplyCommand)) {
        const QString target = m_session.replyName();
        if (target.isEmpty()) {
            m_upper.AddText(TimeStamp::now() + NobodyToReplyTo + CrLf, Colors::Red);
            m_input.clearEditText();
            return;
        }
        line = QStringLiteral("/w ") + target + QLatin1Char(' ') + line.mid(ReplyCommand.size());
        m_input.setEditText(line);
    }

    // A server command: not echoed, the server answers for it.
    announceWhisper(line);
    dispatch(line);
}

void SendPath::hexSend()
{
    if (refuseUnencodable(m_input.editText()))
        return;
    m_input.setEditText(Quillon_Engine::HexEncode(m_input.editText(), m_session.encoding()));
    Send();
}

bool SendPath::refuseUnencodable(const QString &text)
{
    const Wire::Encoding chosen = m_session.encoding();
    const QString missing = Wire::encodeText(text, chosen).missing;
    if (missing.isEmpty())
        return false;
    refuse(CannotEncode.arg(chosen.caption(), missing));
    return true;
}

void SendPath::dispatch(const QString &line)
{
    m_input.appendHistory(line);
    m_session.outbox().say(line);
    m_input.clearEditText();
}

void SendPath::announceWhisper(const QString &line)
{
    if (const auto whisper = Whispers::fromTyped(line, m_session.replyName()))
        emit whisperTyped(whisper->user);
}

void SendPath::refuse(const QString &why)
{
    m_upper.AddText(TimeStamp::now() + why + CrLf, Colors::Red);
}
