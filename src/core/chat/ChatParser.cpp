#include "ChatParser.h"

#include "Blanks.h"
#include "EventFormatter.h"
#include "RosterModel.h"
#include "codec/SafeText.h"
#include "codec/Wire.h"

ChatParser::ChatParser(ParserHost &host, RosterModel &roster)
    : m_host(host)
    , m_roster(roster)
{
}

void ChatParser::beginArrival()
{
    m_decoder.beginArrival();
}

void ChatParser::resetConnection()
{
    m_splitter.reset();
    m_decoder.beginArrival();
    m_loggedOn = false;
    m_homeJoined = false;
}

void ChatParser::ParseData(const QByteArray &data)
{
    m_splitter.start(data);
    for (;;) {
        const LineSplitter::Piece piece = m_splitter.next();
        if (piece.kind == LineSplitter::Piece::End)
            return;
        if (piece.kind == LineSplitter::Piece::Overlong)
            EventFormatter::droppedLine(m_host, MaxTail);
        else
            handleLine(piece.bytes);
    }
}

void ChatParser::handleLine(QByteArrayView bytes)
{
    const QByteArrayView trimmed = Blanks::trimmed(bytes);
    QString line = Wire::decode(trimmed.data(), trimmed.size());
    // A control character inside a message must not start a transcript line.
    SafeText::defang(line);
    const ChatEvent &event = m_decoder.decode(std::move(line));
    const bool joinsHome = apply(event);
    // Before the logon servers answer in plain lines ("Login failed."); show
    // them, or a refused logon would be invisible. Later they are noise.
    if (event.kind == ChatEvent::Kind::Prompt && m_loggedOn)
        return;
    EventFormatter::format(m_host, event);
    // The join goes out after the line that caused it is shown.
    if (joinsHome)
        joinHome();
}

// Updates the chat state. Returns true when the event is the one that joins
// the home channel: the welcome line, or (for servers without one) the first
// channel after the logon; once per connection.
bool ChatParser::apply(const ChatEvent &e)
{
    using Kind = ChatEvent::Kind;
    switch (e.kind) {
    case Kind::Name:
        m_loggedOn = true;
        m_host.loggedOn(e.ownName);
        break;
    case Kind::User:
        m_roster.addUser(e.name, e.product, e.flags);
        break;
    case Kind::Join:
        m_roster.addUser(e.name, e.product, e.flags);
        m_roster.refreshCount();
        break;
    case Kind::Leave:
        m_roster.removeUser(e.name);
        m_roster.refreshCount();
        break;
    case Kind::Whisper:
        m_host.setReplyName(e.name);
        break;
    case Kind::Channel:
        // The count label keeps its caption until the USER lines that follow.
        m_roster.clear();
        m_host.setChannel(e.channel);
        return m_loggedOn && claimHomeJoin();
    case Kind::Flags:
        m_roster.updateFlags(e.name, e.flags);
        break;
    case Kind::Info:
        return e.text.contains(QLatin1String("Welcome to Battle.net!")) && claimHomeJoin();
    case Kind::Ignored:
    case Kind::Prompt:
    case Kind::Talk:
    case Kind::WhisperSent:
    case Kind::Error:
    case Kind::Emote:
        break;
    }
    return false;
}

bool ChatParser::claimHomeJoin()
{
    if (m_homeJoined)
        return false;
    m_homeJoined = true;
    return true;
}

// "/join " + the home channel, then the help. Without a home channel there
// is nothing to join; the help still shows.
void ChatParser::joinHome()
{
    const QString home = m_host.homeChan();
    if (!home.isEmpty())
        m_host.sendParserLine(QStringLiteral("/join ") + home);
    EventFormatter::homeHelp(m_host);
}
