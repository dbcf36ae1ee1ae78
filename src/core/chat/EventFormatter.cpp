#include "EventFormatter.h"
#include "TranscriptSink.h"

#include "ChatEvent.h"
#include "ChatParser.h"
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
void name(ParserHost &h, const ChatEvent &e)
{
    h.AddText(QStringLiteral("Logged on as ") + e.ownName + CrLf, Colors::LogonBlue);
}

// [stamp]  alice joined the channel using a Chat bot.
void join(ParserHost &h, const ChatEvent &e)
{
    if (!h.joinLeave())
        return;
    h.AddText2(TimeStamp::now(), Colors::Red);
    h.AddText2(e.name % QLatin1String(" joined the channel ") % Parsing::ProductText(e.product) % CrLf, Colors::Grey);
}

// [stamp]  alice left the channel.
void leave(ParserHost &h, const ChatEvent &e)
{
    if (!h.joinLeave())
        return;
    h.AddText2(TimeStamp::now(), Colors::Red);
    h.AddText2(e.name % QLatin1String(" left the channel.") % CrLf, Colors::Grey);
}

// [stamp]  alice whispers: psst
void whisper(ParserHost &h, const ChatEvent &e)
{
    h.AddText(TimeStamp::now(), Colors::Red);
    h.AddText(e.name % QLatin1String(" whispers: "), Colors::Green);
    h.AddText(e.text % CrLf, Colors::Grey);
}

// [stamp]  alice:10: hello   (the name white for an administrator or operator),
// then the translation of a hex text ("£" and hex codes).
void talk(ParserHost &h, const ChatEvent &e)
{
    h.AddText(TimeStamp::now(), Colors::Red);
    // Only the flags decide: the placeholder product matches no product.
    const qint16 rank = Parsing::ProductIcon(QStringLiteral("[BLAH]"), e.flags);
    h.AddText(e.name, (rank == 9 || rank == 10) ? Colors::White : Colors::Green);
    h.AddText(flagsRun(e.flags), Colors::Yellow);
    h.AddText(e.text % CrLf, Colors::White);
    if (e.text.startsWith(QChar(0xA3)) && e.text.size() > 1) {
        h.AddText(TimeStamp::now(), Colors::Red);
        h.AddText(Quillon_Engine::HexTranslate(e.text.mid(1)) % CrLf, Colors::HexGreen);
    }
}

// [stamp]  You have joined channel Chat
void channel(ParserHost &h, const ChatEvent &e)
{
    h.AddText(TimeStamp::now(), Colors::Red);
    h.AddText(QLatin1String("You have joined channel ") % e.channel % CrLf, Colors::Cyan);
}

// [stamp]  You whisper to alice: psst
void whisperSent(ParserHost &h, const ChatEvent &e)
{
    h.AddText(TimeStamp::now(), Colors::Red);
    h.AddText(QLatin1String("You whisper to ") % e.name % QLatin1String(": "), Colors::Green);
    h.AddText(e.text % CrLf, Colors::Grey);
}

// [stamp]  the server's information, in the lower pane
void info(ParserHost &h, const ChatEvent &e)
{
    h.AddText2(TimeStamp::now(), Colors::Red);
    h.AddText2(e.text % CrLf, Colors::Yellow);
}

// [stamp]  Error: No such user.
void error(ParserHost &h, const ChatEvent &e)
{
    h.AddText2(TimeStamp::now(), Colors::Red);
    h.AddText2(QLatin1String("Error: ") % e.text % CrLf, Colors::Red);
}

// [stamp]  alice waves   (the name brings its blank)
void emote(ParserHost &h, const ChatEvent &e)
{
    h.AddText(TimeStamp::now(), Colors::Red);
    h.AddText(e.name % e.text % CrLf, Colors::Yellow);
}

// [stamp]  Announcement from carol: server maintenance soon
void broadcast(ParserHost &h, const ChatEvent &e)
{
    h.AddText(TimeStamp::now(), Colors::Red);
    h.AddText(e.text % CrLf, Colors::Announcement);
}

// [stamp]  1014   (a code without a handler, as it came)
void unknown(ParserHost &h, const ChatEvent &e)
{
    h.AddText2(TimeStamp::now(), Colors::Red);
    h.AddText2(e.line % CrLf, Colors::Grey);
}

// [stamp]  Login failed.   (a plain line, as it stands)
void prompt(ParserHost &h, const ChatEvent &e)
{
    h.AddText2(TimeStamp::now(), Colors::Red);
    h.AddText2(e.line % CrLf, Colors::Yellow);
}

} // namespace

namespace EventFormatter {

void format(ParserHost &host, const ChatEvent &event)
{
    switch (event.kind) {
    case Kind::Name: name(host, event); break;
    case Kind::Join: join(host, event); break;
    case Kind::Leave: leave(host, event); break;
    case Kind::Whisper: whisper(host, event); break;
    case Kind::Talk: talk(host, event); break;
    case Kind::Channel: channel(host, event); break;
    case Kind::WhisperSent: whisperSent(host, event); break;
    case Kind::Info: info(host, event); break;
    case Kind::Error: error(host, event); break;
    case Kind::Emote: emote(host, event); break;
    case Kind::Prompt: prompt(host, event); break;
    case Kind::Broadcast: broadcast(host, event); break;
    case Kind::Unknown: unknown(host, event); break;
    case Kind::Ignored:
    case Kind::User:    // roster changes only
    case Kind::Flags:
        break;
    }
}

void homeHelp(ParserHost &host)
{
    host.AddText(QStringLiteral("Custom commands are as follows: \r\n"), Colors::Green);
    host.AddText(QStringLiteral("/hex <text>    (i.e. /hex hello)\r\n"), Colors::Green);
    host.AddText(QStringLiteral("/reply <text>    (used when someone whispers you)\r\n"), Colors::Green);
}

void leftChannel(ParserHost &host, QStringView reason)
{
    host.AddText(TimeStamp::now(), Colors::Red);
    if (reason.isEmpty()) {
        host.AddText(QStringLiteral("You have left the channel and are in no channel now. Type /join <channel> to join one.\r\n"),
                     Colors::Red);
        return;
    }
    // The server's sentence, closed with a full stop if it has none.
    const bool closed = reason.endsWith(u'.') || reason.endsWith(u'!') || reason.endsWith(u'?');
    host.AddText(QLatin1String("You are in no channel now: ") % reason % QLatin1String(closed ? "" : ".")
                     % QLatin1String(" Type /join <channel> to join one.") % CrLf,
                 Colors::Red);
}

void logonRefused(ParserHost &host, const QString &line)
{
    host.AddText(TimeStamp::now(), Colors::Red);
    host.AddText(QLatin1String("Logon refused: ") % line % CrLf, Colors::Red);
}

void droppedLine(ParserHost &host, qsizetype bound)
{
    host.AddText2(TimeStamp::now(), Colors::Red);
    host.AddText2(QStringLiteral("Error: the server sent a line longer than %1 bytes; it was dropped.\r\n").arg(bound),
                  Colors::Red);
}

} // namespace EventFormatter
