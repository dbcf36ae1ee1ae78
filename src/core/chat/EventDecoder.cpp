#include "EventDecoder.h"

#include <optional>

// A step whose position or length makes no sense fails, and a failed step
// leaves its field as it was: the decoder goes on with the next step.

namespace {

using Kind = ChatEvent::Kind;

// len characters from a 1-based start; a start past the end gives "".
std::optional<QStringView> mid(const QString &s, qsizetype start, qsizetype len)
{
    if (start < 1 || len < 0)
        return std::nullopt;
    if (start > s.size())
        return QStringView();
    return QStringView(s).mid(start - 1, len);
}

// 1-based position of the first occurrence, 0 when there is none.
template<typename T>
qsizetype inStr(const QString &s, T what)
{
    return s.indexOf(what) + 1;
}

void take(QString &field, std::optional<QStringView> value)
{
    if (value)
        field = value->toString();
}

// flags and flagsText: the four characters of the flags field from start.
// A field that is no decimal number ("001a") leaves the flags as they were.
void takeFlags(ChatEvent &e, qsizetype start)
{
    const auto text = mid(e.line, start, 4);
    if (!text)
        return;
    bool ok = false;
    const short value = text->trimmed().toShort(&ok, 10);
    if (ok)
        e.flags = value;
    e.flagsText.assign(*text);
}

// The quoted text runs from the character after the first quote to the last
// character but one. Without a quote it is the line minus its last character.
void takeQuotedText(ChatEvent &e, QString &field)
{
    e.quotePos = inStr(e.line, QLatin1Char('"'));
    take(field, mid(e.line, e.quotePos + 1, e.line.size() - e.quotePos - 1));
}

// The name of a message line starts `offset` after its keyword. With a quote
// it is the whole field up to the flags field in front of the quote, so a
// name that holds its own flags text is not cut (`extra` keeps the blank
// behind the name). Without a quote the flags are not taken and the name
// ends where the carried flagsText first occurs: inStr(flagsText) - `cut`
// characters long.
void takeMessageName(ChatEvent &e, QLatin1String keyword, qsizetype offset, qsizetype cut, qsizetype extra)
{
    const qsizetype start = inStr(e.line, keyword) + offset;
    if (e.quotePos == 0) {
        take(e.name, mid(e.line, start, inStr(e.line, e.flagsText.view()) - cut));
        return;
    }
    const qsizetype flagsPos = e.quotePos - 5;
    if (flagsPos >= 1)
        take(e.name, mid(e.line, start, flagsPos - 1 - start + extra));
}

// 2010 NAME alice
// ownName: from 5 after "NAME" (position 11) to the end of the line.
Kind decodeName(ChatEvent &e)
{
    const qsizetype start = inStr(e.line, QLatin1String("NAME")) + 5;
    e.ownName = start > e.line.size() ? QString() : e.line.mid(start - 1);
    return Kind::Name;
}

// 1001 USER alice 0010 [CHAT]   (1002 JOIN alike, with "JOIN")
// name: Len - 22 characters from 5 after the keyword (position 11);
// product: the last 6 characters; flags: 4 from 5 before the product.
Kind decodeUser(ChatEvent &e, QLatin1String keyword, Kind kind)
{
    take(e.name, mid(e.line, inStr(e.line, keyword) + 5, e.line.size() - 22));
    e.product = e.line.right(6);
    takeFlags(e, inStr(e.line, e.product) - 5);
    return kind;
}

// 1003 LEAVE alice 0010
// name: Len - 16 characters from 6 after "LEAVE" (position 12); no flags.
Kind decodeLeave(ChatEvent &e)
{
    take(e.name, mid(e.line, inStr(e.line, QLatin1String("LEAVE")) + 6, e.line.size() - 16));
    return Kind::Leave;
}

// 1004 WHISPER alice 0010 "psst"   (1010 alike: our own whisper's echo)
// flags: 4 from quotePos - 5; name: from 8 after "WHISPER" (position 14),
// without a quote inStr(flagsText) - 15 long; text: the quoted text.
Kind decodeWhisper(ChatEvent &e, Kind kind)
{
    e.quotePos = inStr(e.line, QLatin1Char('"'));
    takeFlags(e, e.quotePos - 5);
    takeMessageName(e, QLatin1String("WHISPER"), 8, 15, 0);
    takeQuotedText(e, e.text);
    return kind;
}

// 1005 TALK alice 0010 "hello"
// flags: 4 from quotePos - 5; name: from 5 after "TALK" (position 11),
// without a quote inStr(flagsText) - 12 long; text: the quoted text.
Kind decodeTalk(ChatEvent &e)
{
    takeQuotedText(e, e.text);
    takeFlags(e, e.quotePos - 5);
    takeMessageName(e, QLatin1String("TALK"), 5, 12, 0);
    return Kind::Talk;
}

// 1007 CHANNEL "Chat"
// channel: the quoted text.
Kind decodeChannel(ChatEvent &e)
{
    takeQuotedText(e, e.channel);
    return Kind::Channel;
}

// 1009 USER alice 0012
// name: Len - 15 characters from 5 after "USER" (position 11); flags: the
// last 4 characters (the code alone makes a line at least 4 long).
Kind decodeFlags(ChatEvent &e)
{
    take(e.name, mid(e.line, inStr(e.line, QLatin1String("USER")) + 5, e.line.size() - 15));
    takeFlags(e, e.line.size() - 3);
    return Kind::Flags;
}

// 1018 INFO "Welcome to Battle.net!"   (1019 ERROR and 1006 alike)
// text: the quoted text. Today's servers send an announcement as
// 1006 _ "Announcement from carol: ..." (a "_" where a name would stand).
Kind decodeNotice(ChatEvent &e, Kind kind)
{
    takeQuotedText(e, e.text);
    return kind;
}

// 1023 EMOTE alice 0010 "waves"
// flags: 4 from quotePos - 5; name: from 6 after "EMOTE" (position 12) with
// the blank behind it, without a quote inStr(flagsText) - 12 long; text:
// the quoted text.
Kind decodeEmote(ChatEvent &e)
{
    takeQuotedText(e, e.text);
    takeFlags(e, e.quotePos - 5);
    takeMessageName(e, QLatin1String("EMOTE"), 6, 12, 1);
    return Kind::Emote;
}

// The four-digit code at the start of the line, or -1.
int eventCode(const QString &line)
{
    if (line.size() < 4)
        return -1;
    int code = 0;
    for (int i = 0; i < 4; ++i) {
        const char16_t c = line.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        code = code * 10 + (c - u'0');
    }
    return code;
}

} // namespace

const ChatEvent &EventDecoder::decode(QString line)
{
    ChatEvent &e = m_event;
    e.line = std::move(line);
    switch (eventCode(e.line)) {
    case 2010: e.kind = decodeName(e); break;
    case 1001: e.kind = decodeUser(e, QLatin1String("USER"), Kind::User); break;
    case 1002: e.kind = decodeUser(e, QLatin1String("JOIN"), Kind::Join); break;
    case 1003: e.kind = decodeLeave(e); break;
    case 1004: e.kind = decodeWhisper(e, Kind::Whisper); break;
    case 1005: e.kind = decodeTalk(e); break;
    case 1006: e.kind = decodeNotice(e, Kind::Broadcast); break;
    case 1007: e.kind = decodeChannel(e); break;
    case 1009: e.kind = decodeFlags(e); break;
    case 1010: e.kind = decodeWhisper(e, Kind::WhisperSent); break;
    case 1018: e.kind = decodeNotice(e, Kind::Info); break;
    case 1019: e.kind = decodeNotice(e, Kind::Error); break;
    case 1023: e.kind = decodeEmote(e); break;
    case 2000: e.kind = Kind::Ignored; break;   // NULL: the server's keep-alive
    case -1: e.kind = e.line.isEmpty() ? Kind::Ignored : Kind::Prompt; break;
    // Shown as they came rather than lost. The protocol also knows 1013
    // CHANNELFULL, 1014 CHANNELDOESNOTEXIST and 1015 CHANNELRESTRICTED
    // (some servers send them as the bare code); the recorded servers send
    // no other code.
    default: e.kind = Kind::Unknown; break;
    }
    return e;
}

void EventDecoder::beginArrival()
{
    ChatEvent &e = m_event;
    e.product.clear();
    e.flags = 0;
    e.flagsText = {};
    e.quotePos = 0;
    e.text.clear();
    e.channel.clear();
}
