#include "ChatParser.h"

#include "Blanks.h"
#include "EventFormatter.h"
#include "Highlight.h"
#include "RosterModel.h"
#include "codec/SafeText.h"
#include "codec/Wire.h"

ChatParser::ChatParser(ParserHost &host, RosterModel &roster, TranscriptSink &upper, TranscriptSink &lower)
    : m_host(host)
    , m_roster(roster)
    , m_formatter(upper, lower, m_options)
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
    m_homeClaimed = false;
    m_joinWaiting = false;
    m_ownName.clear();
    m_lastInfo.clear();
    m_inChannel = false;
    m_channel.clear();
}

void ChatParser::ParseData(const QByteArray &data)
{
    m_splitter.start(data);
    for (;;) {
        const LineSplitter::Piece piece = m_splitter.next();
        if (piece.kind == LineSplitter::Piece::End)
            return;
        if (piece.kind == LineSplitter::Piece::Overlong)
            m_formatter.droppedLine(MaxTail);
        else
            handleLine(piece.bytes);
    }
}

namespace {

// The plain lines today's servers refuse a logon with ("Login failed.",
// "Account has no bot access."). Nothing looser: a greeting a server's
// administrator wrote ("cheaters get banned") must not end the logon. The
// prompts are no refusal either: "Username: " comes back with the name
// typed, which may hold these words.
bool isLogonRefusal(const QString &line)
{
    if (line.startsWith(QLatin1String("Username:")) || line.startsWith(QLatin1String("Password:")))
        return false;
    for (const QLatin1String words : {QLatin1String("Login failed"), QLatin1String("no bot access")})
        if (line.contains(words, Qt::CaseInsensitive))
            return true;
    return false;
}

} // namespace

void ChatParser::handleLine(QByteArrayView bytes)
{
    const QByteArrayView trimmed = Blanks::trimmed(bytes);
    // UTF-8 when the line's bytes are valid UTF-8, else the 8-bit code page;
    // names and channels are part of the line and follow it.
    QString line = Wire::decodeLine(trimmed, m_options.encoding);
    // A control character inside a message must not start a transcript line.
    SafeText::defang(line);
    const ChatEvent &event = m_decoder.decode(std::move(line));
    const Effect effect = apply(event);
    const QString reason = effect == Effect::LeftChannel ? kickReason() : QString();
    // A kick's reason comes as the INFO line just before the LEAVE.
    if (event.kind == ChatEvent::Kind::Info)
        m_lastInfo = event.text;
    else
        m_lastInfo.clear();
    // The host hears of a kick or a refusal after its line is shown, and
    // last: it may end the connection.
    switch (effect) {
    case Effect::Show:
        if (const auto whisper = Whispers::fromEvent(event))
            m_host.whisperLine(*whisper);
        m_formatter.format(event);
        if (addressesUser(event))
            m_host.addressed(Blanks::trimmed(event.name).toString(), event.text);
        break;
    case Effect::Hide:
        break;
    case Effect::JoinHome:
        m_formatter.format(event);
        sendHomeJoin();   // the join goes out after the line that caused it is shown
        m_formatter.homeHelp();
        break;
    case Effect::SendJoin:
        m_formatter.format(event);
        sendHomeJoin();
        break;
    case Effect::LeftChannel:
        m_formatter.leftChannel(reason);
        m_host.leftChannel();
        break;
    case Effect::Refused:
        m_formatter.logonRefused(event.line);
        m_host.logonRefused(event.line);
        break;
    case Effect::FriendNotice:
        friendNotice(event);
        break;
    }
}

// Updates the chat state and says what the line shows. Joins the home
// channel on the welcome line, or (for servers without one) on the first
// channel after the logon; once per connection. A welcome line before the
// logon shows the help at once, and its join waits for 2010 NAME: before
// that the server would take the line for a name or password.
ChatParser::Effect ChatParser::apply(const ChatEvent &e)
{
    using Kind = ChatEvent::Kind;
    switch (e.kind) {
    case Kind::Name:
        m_loggedOn = true;
        m_ownName = e.ownName;
        m_host.loggedOn(e.ownName);
        return m_joinWaiting ? Effect::SendJoin : Effect::Show;
    case Kind::User:
        m_roster.addUser(e.name, e.product, e.flags);
        break;
    case Kind::Join:
        m_roster.addUser(e.name, e.product, e.flags);
        m_roster.refreshCount();
        break;
    case Kind::Leave:
        if (isOwnName(e.name)) {
            // Kicked (or left): no channel, nobody listed, a count of 0.
            m_roster.clear();
            m_roster.refreshCount();
            m_inChannel = false;
            return Effect::LeftChannel;   // the host hears of it once its line is shown
        }
        m_roster.removeUser(e.name);
        m_roster.refreshCount();
        break;
    case Kind::Whisper:
        // A friend's arrival comes as a whisper from that friend; it is no
        // reply target.
        if (Whispers::friendNotice(e))
            return Effect::FriendNotice;
        m_host.setReplyName(e.name);
        break;
    case Kind::Channel: {
        // The count label keeps its caption until the USER lines that follow.
        m_roster.clear();
        m_host.setChannel(e.channel);
        // A join of the channel the user is in (the home channel is often the
        // one the server puts a new user in) only lists it anew: one join
        // line per channel entered.
        const bool entered = !m_inChannel || e.channel != m_channel;
        m_inChannel = true;
        m_channel = e.channel;
        if (m_loggedOn && !m_homeClaimed)
            return claimHomeJoin();
        return entered ? Effect::Show : Effect::Hide;
    }
    case Kind::Flags:
        m_roster.updateFlags(e.name, e.flags);
        break;
    case Kind::Info:
        // The friends-list reply the session asked for shows in the Friends view only.
        if (m_host.friendsReply(e.text))
            return Effect::Hide;
        return e.text.contains(QLatin1String("Welcome to Battle.net!")) ? claimHomeJoin() : Effect::Show;
    case Kind::Prompt:
        // Before the logon servers answer in plain lines; show them, or a
        // refused logon would be invisible. Later they are noise.
        // A friend's departure is the one plain line still worth showing.
        if (m_loggedOn)
            return Whispers::friendNotice(e) ? Effect::FriendNotice : Effect::Hide;
        return isLogonRefusal(e.line) ? Effect::Refused : Effect::Show;
    case Kind::Ignored:
    case Kind::Unknown:
    case Kind::Talk:
    case Kind::Broadcast:
    case Kind::WhisperSent:
    case Kind::Error:
    case Kind::Emote:
        break;
    }
    return Effect::Show;
}

// 1004 WHISPER alice 0010 "Your friend alice has entered PvPGN Realm."
// Your friend alice has left PvPGN Realm.
// Shown as information in the lower pane; the host updates the friends list.
void ChatParser::friendNotice(const ChatEvent &event)
{
    const auto notice = Whispers::friendNotice(event);
    m_formatter.information(event.kind == ChatEvent::Kind::Whisper ? event.text : event.line);
    if (notice)
        m_host.friendNotice(*notice);
}

ChatParser::Effect ChatParser::claimHomeJoin()
{
    if (m_homeClaimed)
        return Effect::Show;
    m_homeClaimed = true;
    m_joinWaiting = true;
    return Effect::JoinHome;
}

// A whisper to the user, or talk or an emote by somebody else that names
// the user as a whole word.
bool ChatParser::addressesUser(const ChatEvent &e) const
{
    using Kind = ChatEvent::Kind;
    if (e.kind == Kind::Whisper)
        return true;
    if (e.kind != Kind::Talk && e.kind != Kind::Emote)
        return false;
    return !isOwnName(e.name) && Highlight::mentions(e.text, m_ownName);
}

// The own name as 2010 NAME gave it, blanks trimmed on both sides and
// case-sensitive, as the roster compares names.
bool ChatParser::isOwnName(const QString &name) const
{
    const QStringView own = Blanks::trimmed(m_ownName);
    return m_loggedOn && !own.isEmpty() && Blanks::trimmed(name) == own;
}

// The INFO line just before an own LEAVE is its reason when it names the
// user ("bob has been kicked by carol (too noisy)."); any other gives none.
QString ChatParser::kickReason() const
{
    return m_lastInfo.contains(Blanks::trimmed(m_ownName)) ? m_lastInfo : QString();
}

// "/join " + the home channel, once the logon is accepted; it stays
// waiting until the host has queued it. Without a home channel there is
// nothing to join (the help still shows).
void ChatParser::sendHomeJoin()
{
    if (!m_joinWaiting || !m_loggedOn)
        return;
    const QString &home = m_options.homeChannel;
    if (home.isEmpty() || m_host.sendJoin(QStringLiteral("/join ") + home))
        m_joinWaiting = false;
}
