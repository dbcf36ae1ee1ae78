#include "EventFormatter.h"
#include "TranscriptSink.h"

#include "ChatEvent.h"
#include "Colors.h"
#include "RosterModel.h"
#include "TimeStamp.h"
#include "codec/QuillonEngine.h"

#include <QStringBuilder>

#include <charconv>

namespace {

using Kind = ChatEvent::Kind;


// ":" + the flags in decimal + ": ", the middle run of a talk line.
QString flagsRun(qint16 flags)
{
    char text[16];
    text[0] = ':';
    char *end = std::to_chars(text + 1, text + sizeof text - 2, int(flags)).ptr;
    *end++ = ':';
    *end++ = ' ';
    return QString::fromLatin1(text, end - text);
}

// Logged on as alice
void name(TranscriptSink &upper, const ChatEvent &e)
{
    upper.AddText(QStringLiteral("Logged on as ") + e.ownName + CrLf, Colors::LogonBlue);
}

// [stamp]  alice joined the channel using a Chat bot.   (when join/leave notices are on)
void join(TranscriptSink &lower, const ChatEvent &e)
{
    lower.AddText(TimeStamp::now(), Colors::Red);
    lower.AddText(e.name % QLatin1String(" joined the channel ") % Parsing::ProductText(e.product) % CrLf, Colors::Grey);
}

// [stamp]  alice left the channel.   (when join/leave notices are on)
void leave(TranscriptSink &lower, const ChatEvent &e)
{
    lower.AddText(TimeStamp::now(), Colors::Red);
    lower.AddText(e.name % QLatin1String(" left the channel.") % CrLf, Colors::Grey);
}

// [stamp]  alice whispers: psst
void whisper(TranscriptSink &upper, const ChatEvent &e)
{
    upper.AddText(TimeStamp::now(), Colors::Red);
    upper.AddText(e.name % QLatin1String(" whispers: "), Colors::Green);
    upper.AddText(e.text % CrLf, Colors::Grey);
}

// [stamp]  alice:10: hello   (the name white for an administrator or operator),
// then the translation of a hex text ("£" and hex codes), whose bytes are
// read as a received line is.
void talk(TranscriptSink &upper, const ChatEvent &e, const Wire::Encoding &encoding)
{
    upper.AddText(TimeStamp::now(), Colors::Red);
    // Only the flags decide, as for the roster's white names.
    upper.AddText(e.name, Parsing::StandsOut(Parsing::RankIcon(e.flags)) ? Colors::White : Colors::Green);
    upper.AddText(flagsRun(e.flags), Colors::Yellow);
    upper.AddText(e.text % CrLf, Colors::White);
    if (e.text.size() > 1 && Quillon_Engine::IsHexMarker(e.text[0], encoding)) {
        upper.AddText(TimeStamp::now(), Colors::Red);
        upper.AddText(Quillon_Engine::HexTranslate(e.text.mid(1), encoding) % CrLf, Colors::HexGreen);
    }
}

// [stamp]  You have joined channel Chat
void channel(TranscriptSink &upper, const ChatEvent &e)
{
    upper.AddText(TimeStamp::now(), Colors::Red);
    upper.AddText(QLatin1String("You have joined channel ") % e.channel % CrLf, Colors::Cyan);
}

// [stamp]  You whisper to alice: psst
void whisperSent(TranscriptSink &upper, const ChatEvent &e)
{
    upper.AddText(TimeStamp::now(), Colors::Red);
    upper.AddText(QLatin1String("You whisper to ") % e.name % QLatin1String(": "), Colors::Green);
    upper.AddText(e.text % CrLf, Colors::Grey);
}

// [stamp]  the server's information, in the lower pane
void info(TranscriptSink &lower, const ChatEvent &e)
{
    lower.AddText(TimeStamp::now(), Colors::Red);
    lower.AddText(e.text % CrLf, Colors::Yellow);
}

// [stamp]  Error: No such user.
void error(TranscriptSink &lower, const ChatEvent &e)
{
    lower.AddText(TimeStamp::now(), Colors::Red);
    lower.AddText(QLatin1String("Error: ") % e.text % CrLf, Colors::Red);
}

// [stamp]  alice waves   (the name brings its blank)
void emote(TranscriptSink &upper, const ChatEvent &e)
{
    upper.AddText(TimeStamp::now(), Colors::Red);
    upper.AddText(e.name % e.text % CrLf, Colors::Yellow);
}

// [stamp]  Announcement from carol: server maintenance soon
void broadcast(TranscriptSink &upper, const ChatEvent &e)
{
    upper.AddText(TimeStamp::now(), Colors::Red);
    upper.AddText(e.text % CrLf, Colors::Announcement);
}

// [stamp]  1014   (a code without a handler, as it came)
void unknown(TranscriptSink &lower, const ChatEvent &e)
{
    lower.AddText(TimeStamp::now(), Colors::Red);
    lower.AddText(e.line % CrLf, Colors::Grey);
}

// [stamp]  Login failed.   (a plain line, as it stands)
void prompt(TranscriptSink &lower, const ChatEvent &e)
{
    lower.AddText(TimeStamp::now(), Colors::Red);
    lower.AddText(e.line % CrLf, Colors::Yellow);
}

} // namespace

EventFormatter::EventFormatter(TranscriptSink &upper, TranscriptSink &lower, const ParserOptions &options)
    : m_upper(upper)
    , m_lower(lower)
    , m_options(options)
{
}

void EventFormatter::format(const ChatEvent &event) const
{
    switch (event.kind) {
    case Kind::Name: name(m_upper, event); break;
    case Kind::Join: if (m_options.joinLeave) join(m_lower, event); break;
    case Kind::Leave: if (m_options.joinLeave) leave(m_lower, event); break;
    case Kind::Whisper: whisper(m_upper, event); break;
    case Kind::Talk: talk(m_upper, event, m_options.encoding); break;
    case Kind::Channel: channel(m_upper, event); break;
    case Kind::WhisperSent: whisperSent(m_upper, event); break;
    case Kind::Info: info(m_lower, event); break;
    case Kind::Error: error(m_lower, event); break;
    case Kind::Emote: emote(m_upper, event); break;
    case Kind::Prompt: prompt(m_lower, event); break;
    case Kind::Broadcast: broadcast(m_upper, event); break;
    case Kind::Unknown: unknown(m_lower, event); break;
    case Kind::Ignored:
    case Kind::User:    // roster changes only
    case Kind::Flags:
        break;
    }
}

void EventFormatter::homeHelp() const
{
    m_upper.AddText(QStringLiteral("Custom commands are as follows: ") + CrLf, Colors::Green);
    m_upper.AddText(QStringLiteral("/hex <text>    (i.e. /hex hello)") + CrLf, Colors::Green);
    m_upper.AddText(QStringLiteral("/reply <text>    (used when someone whispers you)") + CrLf, Colors::Green);
}

void EventFormatter::leftChannel(QStringView reason) const
{
    m_upper.AddText(TimeStamp::now(), Colors::Red);
    if (reason.isEmpty()) {
        m_upper.AddText(QStringLiteral("You have left the channel and are in no channel now. Type /join <channel> to join one.")
                            + CrLf,
                        Colors::Red);
        return;
    }
    // The server's sentence, closed with a full stop if it has none.
    const bool closed = reason.endsWith(u'.') || reason.endsWith(u'!') || reason.endsWith(u'?');
    m_upper.AddText(QLatin1String("You are in no channel now: ") % reason % QLatin1String(closed ? "" : ".")
                        % QLatin1String(" Type /join <channel> to join one.") % CrLf,
                    Colors::Red);
}

void EventFormatter::logonRefused(const QString &line) const
{
    m_upper.AddText(TimeStamp::now(), Colors::Red);
    m_upper.AddText(QLatin1String("Logon refused: ") % line % CrLf, Colors::Red);
}

void EventFormatter::droppedLine(qsizetype bound) const
{
    m_lower.AddText(TimeStamp::now(), Colors::Red);
    m_lower.AddText(QStringLiteral("Error: the server sent a line longer than %1 bytes; it was dropped.").arg(bound) + CrLf,
                    Colors::Red);
}

// [stamp]  Your friend alice has entered PvPGN Realm.
void EventFormatter::information(QStringView text) const
{
    m_lower.AddText(TimeStamp::now(), Colors::Red);
    m_lower.AddText(text % CrLf, Colors::Yellow);
}
