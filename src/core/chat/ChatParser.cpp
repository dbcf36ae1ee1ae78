#include "ChatParser.h"

#include "Colors.h"
#include "RosterModel.h"
#include "TimeStamp.h"
#include "codec/QuillonEngine.h"
#include "codec/SafeText.h"
#include "codec/Wire.h"

#include <QStringBuilder>

#include <charconv>
#include <cstring>
#include <optional>

// The fields of a line are taken by 1-based position, the way the gateway
// lays them out. A step whose position or length makes no sense fails, and a
// failed step leaves its field as it was: the handler goes on with the next.

namespace {

using Field = std::optional<QString>;

// Characters from a 1-based start, len of them; a start past the end gives "".
Field mid(const QString &s, qsizetype start, qsizetype len)
{
    if (start < 1 || len < 0)
        return std::nullopt;
    if (start > s.size())
        return QString();
    return s.mid(start - 1, len);
}

// The same characters as a view into s, for fields that are only looked at.
std::optional<QStringView> midView(const QString &s, qsizetype start, qsizetype len)
{
    if (start < 1 || len < 0)
        return std::nullopt;
    if (start > s.size())
        return QStringView();
    return QStringView(s).mid(start - 1, len);
}

Field midToEnd(const QString &s, qsizetype start)
{
    if (start < 1)
        return std::nullopt;
    if (start > s.size())
        return QString();
    return s.mid(start - 1);
}

Field right(const QString &s, qsizetype len)
{
    return s.right(len);
}

// 1-based position of the first occurrence, 0 when there is none.
qsizetype inStr(const QString &s, QLatin1String what)
{
    return s.indexOf(what) + 1;
}

qsizetype inStr(const QString &s, QLatin1Char what)
{
    return s.indexOf(what) + 1;
}

qsizetype inStr(const QString &s, const QString &what)
{
    return s.indexOf(what) + 1;
}

// The flags field read as a decimal number: "0012" is 12.
std::optional<qint16> decimalFlags(QStringView text)
{
    bool ok = false;
    const short value = text.trimmed().toShort(&ok, 10);
    if (!ok)
        return std::nullopt;
    return qint16(value);
}

template<typename T>
void take(T &field, const std::optional<T> &value)
{
    if (value)
        field = *value;
}

QString trimBlanks(const QString &s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s.at(b) == QLatin1Char(' '))
        ++b;
    while (e > b && s.at(e - 1) == QLatin1Char(' '))
        --e;
    return (b == 0 && e == s.size()) ? s : s.mid(b, e - b);
}

// Position of the next CR LF at or after from, or -1.
qsizetype findCrLf(const char *p, qsizetype n, qsizetype from)
{
    qsizetype i = from;
    while (i < n) {
        const void *hit = std::memchr(p + i, '\n', size_t(n - i));
        if (!hit)
            return -1;
        const qsizetype pos = static_cast<const char *>(hit) - p;
        if (pos > from && p[pos - 1] == '\r')
            return pos - 1;
        i = pos + 1;
    }
    return -1;
}

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

const QString kCrLf = QStringLiteral("\r\n");

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

} // namespace

// The working fields of one ParseData call: they start empty and keep their
// values from one line to the next within the call.
struct ChatParser::Fields {
    QString product;
    qint16 flags = 0;
    qsizetype quotePos = 0;
    QString text;
    QString channel;
};

ChatParser::ChatParser(ParserHost &host, RosterModel &roster)
    : m_host(host)
    , m_roster(roster)
{
}

void ChatParser::resetConnection()
{
    m_tail.clear();
    m_discarding = false;
    m_loggedOn = false;
    m_homeJoined = false;
}

void ChatParser::ParseData(const QByteArray &data)
{
    // Join the unfinished line of the last chunk with this one.
    QByteArray joined;
    const char *p = data.constData();
    qsizetype n = data.size();
    if (!m_tail.isEmpty()) {
        joined = m_tail + data;
        m_tail.clear();
        p = joined.constData();
        n = joined.size();
    }

    qsizetype start = 0;
    if (m_discarding) {
        const qsizetype end = findCrLf(p, n, 0);
        if (end < 0) {
            // Keep a trailing CR: its LF may open the next chunk.
            if (n > 0 && p[n - 1] == '\r')
                m_tail = QByteArray(1, '\r');
            return;
        }
        m_discarding = false;
        start = end + 2;
    }

    Fields fields;
    for (;;) {
        const qsizetype end = findCrLf(p, n, start);
        if (end < 0)
            break;
        handleLine(Wire::decode(p + start, end - start), fields);
        start = end + 2;
    }

    const qsizetype rest = n - start;
    if (rest > MaxTail) {
        m_discarding = true;
        if (p[n - 1] == '\r')
            m_tail = QByteArray(1, '\r');
        reportDroppedFragment();
    } else if (rest > 0) {
        m_tail = QByteArray(p + start, rest);
    }
}

void ChatParser::reportDroppedFragment()
{
    m_host.AddText2(TimeStamp::now(), Colors::Red);
    m_host.AddText2(QStringLiteral("Error: the server sent a line longer than %1 bytes; it was dropped.\r\n")
                        .arg(MaxTail),
                    Colors::Red);
}

void ChatParser::joinHome()
{
    if (m_homeJoined)
        return;
    m_homeJoined = true;
    m_host.sendParserLine(QStringLiteral("/join ") + m_host.homeChan());
    m_host.AddText(QStringLiteral("Custom commands are as follows: \r\n"), Colors::Green);
    m_host.AddText(QStringLiteral("/hex <text>    (i.e. /hex hello)\r\n"), Colors::Green);
    m_host.AddText(QStringLiteral("/reply <text>    (used when someone whispers you)\r\n"), Colors::Green);
}

void ChatParser::handleLine(QString line, Fields &f)
{
    line = trimBlanks(line);
    // A control character inside a message must not start a new transcript line.
    SafeText::defang(line);
    const qsizetype len = line.size();

    // The quoted text and the flags field in front of the quote (WHISPER, TALK, EMOTE, 1010).
    auto takeQuote = [&] { f.quotePos = inStr(line, QLatin1Char('"')); };
    auto takeText = [&] { take(f.text, mid(line, f.quotePos + 1, len - f.quotePos - 1)); };
    auto takeFlags = [&] {
        if (const auto flagsText = midView(line, f.quotePos - 5, 4))
            take(f.flags, decimalFlags(*flagsText));
    };
    // The name is the whole field between the keyword and the flags field, so
    // a name that contains its own flags text is not cut. The flags field
    // stands five characters in front of the quote.
    auto takeNameBeforeFlags = [&](QLatin1String keyword, qsizetype offset, qsizetype extra) {
        const qsizetype nameStart = inStr(line, keyword) + offset;
        const qsizetype flagsPos = f.quotePos - 5;
        if (flagsPos < 1)
            return;
        take(m_curName, mid(line, nameStart, flagsPos - 1 - nameStart + extra));
    };

    switch (eventCode(line)) {
    case 2010: { // NAME: the logon was accepted
        QString name;
        take(name, midToEnd(line, inStr(line, QLatin1String("NAME")) + 5));
        m_loggedOn = true;
        m_host.loggedOn(name);
        m_host.AddText(QStringLiteral("Logged on as ") + name + kCrLf, Colors::LogonBlue);
        break;
    }
    case 1001:   // USER: somebody already in the channel
    case 1002: { // JOIN
        const QLatin1String keyword = eventCode(line) == 1001 ? QLatin1String("USER") : QLatin1String("JOIN");
        take(m_curName, mid(line, inStr(line, keyword) + 5, len - 22));
        take(f.product, right(line, 6));
        if (const auto flagsText = midView(line, inStr(line, f.product) - 5, 4))
            take(f.flags, decimalFlags(*flagsText));
        m_roster.addUser(m_curName, f.product, f.flags);
        if (keyword == QLatin1String("JOIN")) {
            if (m_host.joinLeave()) {
                m_host.AddText2(TimeStamp::now(), Colors::Red);
                m_host.AddText2(m_curName % QLatin1String(" joined the channel ")
                                    % Parsing::ProductText(f.product) % kCrLf,
                                Colors::Grey);
            }
            m_roster.refreshCount();
        }
        break;
    }
    case 1003: { // LEAVE
        take(m_curName, mid(line, inStr(line, QLatin1String("LEAVE")) + 6, len - 16));
        m_roster.removeUser(m_curName);
        if (m_host.joinLeave()) {
            m_host.AddText2(TimeStamp::now(), Colors::Red);
            m_host.AddText2(m_curName % QLatin1String(" left the channel.") % kCrLf, Colors::Grey);
        }
        m_roster.refreshCount();
        break;
    }
    case 1004: { // WHISPER to us
        takeQuote();
        takeFlags();
        takeNameBeforeFlags(QLatin1String("WHISPER"), 8, 0);
        takeText();
        m_host.AddText(TimeStamp::now(), Colors::Red);
        m_host.AddText(m_curName % QLatin1String(" whispers: "), Colors::Green);
        m_host.AddText(f.text % kCrLf, Colors::Grey);
        m_host.setReplyName(m_curName);
        break;
    }
    case 1005: { // TALK in the channel
        takeQuote();
        takeText();
        takeFlags();
        takeNameBeforeFlags(QLatin1String("TALK"), 5, 0);
        m_host.AddText(TimeStamp::now(), Colors::Red);
        // Only the flags decide: the placeholder product matches no product.
        const qint16 rank = Parsing::ProductIcon(QStringLiteral("[BLAH]"), f.flags);
        m_host.AddText(m_curName, (rank == 9 || rank == 10) ? Colors::White : Colors::Green);
        m_host.AddText(flagsRun(f.flags), Colors::Yellow);
        m_host.AddText(f.text % kCrLf, Colors::White);
        if (f.text.startsWith(QChar(0xA3)) && f.text.size() > 1)
        {
            m_host.AddText(TimeStamp::now(), Colors::Red);
            m_host.AddText(Quillon_Engine::HexTranslate(f.text.mid(1)) % kCrLf, Colors::HexGreen);
        }
        break;
    }
    case 1007: { // CHANNEL: we are in a channel now
        m_roster.clear();
        takeQuote();
        take(f.channel, mid(line, f.quotePos + 1, len - f.quotePos - 1));
        m_host.AddText(TimeStamp::now(), Colors::Red);
        m_host.AddText(QLatin1String("You have joined channel ") % f.channel % kCrLf, Colors::Cyan);
        m_host.setChannel(f.channel);
        // Servers that never send the welcome line still get the home channel.
        if (m_loggedOn)
            joinHome();
        break;
    }
    case 1009: { // USER: flags changed
        take(m_curName, mid(line, inStr(line, QLatin1String("USER")) + 5, len - 15));
        take(f.flags, decimalFlags(QStringView(line).right(4)));
        m_roster.updateFlags(m_curName, f.flags);
        break;
    }
    case 1010: { // WHISPER echo of our own
        takeQuote();
        takeFlags();
        takeNameBeforeFlags(QLatin1String("WHISPER"), 8, 0);
        takeText();
        m_host.AddText(TimeStamp::now(), Colors::Red);
        m_host.AddText(QLatin1String("You whisper to ") % m_curName % QLatin1String(": "), Colors::Green);
        m_host.AddText(f.text % kCrLf, Colors::Grey);
        break;
    }
    case 1018: { // INFO
        takeQuote();
        takeText();
        m_host.AddText2(TimeStamp::now(), Colors::Red);
        m_host.AddText2(f.text % kCrLf, Colors::Yellow);
        if (f.text.contains(QLatin1String("Welcome to Battle.net!")))
            joinHome();
        break;
    }
    case 1019: { // ERROR
        takeQuote();
        takeText();
        m_host.AddText2(TimeStamp::now(), Colors::Red);
        m_host.AddText2(QLatin1String("Error: ") % f.text % kCrLf, Colors::Red);
        break;
    }
    case 1023: { // EMOTE: the name keeps the blank behind it
        takeQuote();
        takeText();
        takeFlags();
        takeNameBeforeFlags(QLatin1String("EMOTE"), 6, 1);
        m_host.AddText(TimeStamp::now(), Colors::Red);
        m_host.AddText(m_curName % f.text % kCrLf, Colors::Yellow);
        break;
    }
    default:
        // Before the logon, servers answer in plain lines ("Login failed.");
        // show them, or a refused logon would be invisible.
        if (!m_loggedOn && eventCode(line) < 0 && !line.isEmpty()) {
            m_host.AddText2(TimeStamp::now(), Colors::Red);
            m_host.AddText2(line + kCrLf, Colors::Yellow);
        }
        break;
    }
}
