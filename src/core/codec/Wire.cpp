#include "Wire.h"

#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cstring>
#include <memory>
#include <vector>

namespace {

// Code points of the bytes 0x80 to 0x9F; the rest of the page equals Latin-1.
constexpr std::array<char16_t, 32> kHighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

} // namespace

namespace Wire {

QChar decodeByte(unsigned char b)
{
    if (b >= 0x80 && b <= 0x9F)
        return QChar(kHighTable[b - 0x80]);
    return QChar(b);
}

QString decode(const char *data, qsizetype size)
{
    // Most bytes mean what they mean in Latin-1, which the library widens
    // fast; only 0x80 to 0x9F need the table, and most lines have none.
    QString out = QString::fromLatin1(data, size);
    const auto *bytes = reinterpret_cast<const unsigned char *>(data);
    bool high = false;
    for (qsizetype i = 0; i < size; ++i)
        high |= (bytes[i] & 0xE0) == 0x80;
    if (!high)
        return out;
    QChar *dst = out.data();
    for (qsizetype i = 0; i < size; ++i) {
        if ((bytes[i] & 0xE0) == 0x80)
            dst[i] = decodeByte(bytes[i]);
    }
    return out;
}

char encodeChar(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (int i = 0; i < int(kHighTable.size()); ++i) {
        if (kHighTable[i] == u)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

QByteArray encode(const QString &text)
{
    QByteArray out;
    out.reserve(text.size());
    const QChar *src = text.constData();
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = src[i].unicode();
        if (u < 0x80) {
            out.append(static_cast<char>(u));
        } else {
            // A character beyond the basic plane is one character: one "?".
            if (QChar::isHighSurrogate(u) && i + 1 < n && src[i + 1].isLowSurrogate())
                ++i;
            out.append(encodeChar(src[i]));
        }
    }
    return out;
}

} // namespace Wire

// ---- Code pages ----------------------------------------------------------------

namespace Wire {

struct CodePage {
    QString name;
    QString caption;
    std::array<char16_t, 256> chars;                  // byte -> character
    std::vector<std::pair<char16_t, uchar>> bytes;    // character -> byte, sorted, 0x80 and up
};

} // namespace Wire

namespace {

struct Known {
    const char *name;
    const char *caption;
};
// The code pages offered besides UTF-8; Windows-1252 first, as the fallback.
constexpr Known KnownPages[] = {
    {"windows-1252", "Western (Windows-1252)"},
    {"windows-1250", "Central European (Windows-1250)"},
    {"windows-1251", "Cyrillic (Windows-1251)"},
};

// Windows-1252 keeps the table above; the others ask Qt's converter byte by
// byte. A byte the converter leaves undefined maps to the character of the
// same code, as in Windows-1252, so every byte round-trips.
std::unique_ptr<Wire::CodePage> buildPage(const Known &known)
{
    auto page = std::make_unique<Wire::CodePage>();
    page->name = QLatin1String(known.name);
    page->caption = QLatin1String(known.caption);
    const bool western = page->name == QLatin1String("windows-1252");
    QStringDecoder decoder(known.name);
    if (!western && !decoder.isValid())
        return nullptr;
    for (int b = 0; b < 256; ++b) {
        char16_t c = Wire::decodeByte(uchar(b)).unicode();
        if (!western && b >= 0x80) {
            const char byte = char(b);
            const QString s = decoder.decode(QByteArrayView(&byte, 1));
            if (s.size() == 1 && !decoder.hasError() && s[0] != QChar::ReplacementCharacter)
                c = s[0].unicode();
            else
                c = char16_t(b);
            decoder.resetState();
        }
        page->chars[b] = c;
        if (b >= 0x80)
            page->bytes.push_back({c, uchar(b)});
    }
    // Stable: when two bytes give one character, the lower byte sends it.
    std::stable_sort(page->bytes.begin(), page->bytes.end(),
                     [](const auto &a, const auto &b) { return a.first < b.first; });
    return page;
}

const std::vector<std::unique_ptr<Wire::CodePage>> &pages()
{
    static const std::vector<std::unique_ptr<Wire::CodePage>> all = [] {
        std::vector<std::unique_ptr<Wire::CodePage>> v;
        for (const Known &known : KnownPages)
            if (auto page = buildPage(known))
                v.push_back(std::move(page));
        return v;
    }();
    return all;
}

// The length of the leading run of ASCII bytes, eight at a time.
qsizetype asciiPrefix(const uchar *p, qsizetype n)
{
    qsizetype i = 0;
    for (; i + 8 <= n; i += 8) {
        quint64 word;
        std::memcpy(&word, p + i, 8);
        if (word & 0x8080808080808080ULL)
            break;
    }
    while (i < n && p[i] < 0x80)
        ++i;
    return i;
}

// Well-formed UTF-8 from i on: each lead byte with the exact range its
// first continuation byte may take (which rules out overlong forms,
// surrogates and code points above 10FFFF), then plain continuation bytes.
bool validFrom(const uchar *p, qsizetype n, qsizetype i)
{
    auto cont = [&](qsizetype k) { return (p[k] & 0xC0) == 0x80; };
    while (i < n) {
        const uchar c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        if (c < 0xC2)        // a stray continuation byte, or an overlong two-byte form
            return false;
        if (c < 0xE0) {
            if (n - i < 2 || !cont(i + 1))
                return false;
            i += 2;
            continue;
        }
        const uchar lo = c == 0xE0 ? 0xA0 : c == 0xF0 ? 0x90 : 0x80;
        const uchar hi = c == 0xED ? 0x9F : c == 0xF4 ? 0x8F : 0xBF;
        const qsizetype len = c < 0xF0 ? 3 : 4;
        if (c > 0xF4 || n - i < len || p[i + 1] < lo || p[i + 1] > hi || !cont(i + 2) || (len == 4 && !cont(i + 3)))
            return false;
        i += len;
    }
    return true;
}

bool isHexDigit(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= u'0' && u <= u'9') || (u >= u'a' && u <= u'f') || (u >= u'A' && u <= u'F');
}

// "£" and hex digits only; "/hex" of an empty text is the marker alone.
bool isHexLine(QStringView line)
{
    if (line.isEmpty() || line[0] != QChar(0xA3))
        return false;
    for (qsizetype i = 1; i < line.size(); ++i)
        if (!isHexDigit(line[i]))
            return false;
    return true;
}

bool pairAt(QStringView s, qsizetype i)
{
    return s[i].isHighSurrogate() && i + 1 < s.size() && s[i + 1].isLowSurrogate();
}

// Bytes of the character at i (one or two UTF-16 units) in UTF-8; a lone
// surrogate goes out as "?".
int utf8Bytes(QStringView s, qsizetype i)
{
    const char16_t u = s[i].unicode();
    if (u < 0x80)
        return 1;
    if (u < 0x800)
        return 2;
    if (QChar::isSurrogate(u))
        return pairAt(s, i) ? 4 : 1;
    return 3;
}

} // namespace

namespace Wire {

Encoding Encoding::utf8()
{
    return Encoding(nullptr);
}

Encoding Encoding::windows1252()
{
    return Encoding(pages().front().get());
}

Encoding Encoding::fromName(QStringView name)
{
    for (const auto &page : pages())
        if (name.compare(page->name, Qt::CaseInsensitive) == 0)
            return Encoding(page.get());
    return utf8();
}

QList<Encoding::Offer> Encoding::offered()
{
    QList<Offer> list{{utf8().name(), utf8().caption()}};
    for (const auto &page : pages())
        list.append({page->name, page->caption});
    return list;
}

QString Encoding::name() const
{
    return m_page ? m_page->name : QStringLiteral("UTF-8");
}

QString Encoding::caption() const
{
    return m_page ? m_page->caption : QStringLiteral("Unicode (UTF-8)");
}

QChar Encoding::byteChar(unsigned char b) const
{
    return QChar(fallback().m_page->chars[b]);
}

bool isValidUtf8(QByteArrayView bytes)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    return validFrom(p, n, asciiPrefix(p, n));
}

QString decodeLine(QByteArrayView bytes, const Encoding &encoding)
{
    const auto *p = reinterpret_cast<const uchar *>(bytes.data());
    const qsizetype n = bytes.size();
    // Nearly every line is ASCII, which every choice reads alike.
    const qsizetype ascii = asciiPrefix(p, n);
    if (ascii == n)
        return QString::fromLatin1(bytes.data(), n);
    if (validFrom(p, n, ascii))
        return QString::fromUtf8(bytes);
    const Encoding page = encoding.fallback();
    if (page == Encoding::windows1252())
        return decode(bytes.data(), n);
    QString out = QString::fromLatin1(bytes.data(), n);
    QChar *dst = out.data();
    for (qsizetype i = ascii; i < n; ++i)
        if (p[i] >= 0x80)
            dst[i] = page.byteChar(p[i]);
    return out;
}

int Encoding::charByte(char16_t c) const
{
    if (c < 0x80)
        return c;
    const CodePage &page = *fallback().m_page;
    const auto it = std::lower_bound(page.bytes.begin(), page.bytes.end(), c,
                                     [](const auto &entry, char16_t v) { return entry.first < v; });
    return it != page.bytes.end() && it->first == c ? it->second : -1;
}

Encoded encodeText(QStringView text, const Encoding &encoding)
{
    Encoded out;
    if (encoding.isUtf8()) {
        // Qt writes a lone surrogate as "?", as the code pages do.
        out.bytes = text.toUtf8();
        return out;
    }
    out.bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = text[i].unicode();
        const int byte = encoding.charByte(u);
        if (byte >= 0) {
            out.bytes.append(char(byte));
            continue;
        }
        // A character beyond the basic plane is one character: one "?".
        const qsizetype len = pairAt(text, i) ? 2 : 1;
        const QStringView c = text.mid(i, len);
        if (!QChar::isSurrogate(u) || len == 2) {
            if (!out.missing.contains(c))
                out.missing += c;
        }
        out.bytes.append('?');
        i += len - 1;
    }
    return out;
}

Encoded encodeLine(QStringView line, const Encoding &encoding)
{
    if (!isHexLine(line))
        return encodeText(line, encoding);
    Encoded out;
    out.bytes = '\xA3' + line.mid(1).toLatin1();
    return out;
}

qsizetype lineSize(QStringView line, const Encoding &encoding)
{
    if (isHexLine(line))
        return line.size();
    if (!encoding.isUtf8()) {
        qsizetype n = line.size();
        for (qsizetype i = 0; i + 1 < line.size(); ++i)
            n -= pairAt(line, i);
        return n;
    }
    qsizetype n = 0;
    for (qsizetype i = 0; i < line.size(); i += pairAt(line, i) ? 2 : 1)
        n += utf8Bytes(line, i);
    return n;
}

qsizetype fittingLength(QStringView text, qsizetype maxBytes, const Encoding &encoding)
{
    qsizetype end = 0;
    qsizetype bytes = 0;
    while (end < text.size()) {
        const int size = encoding.isUtf8() ? utf8Bytes(text, end) : 1;
        if (end > 0 && bytes + size > maxBytes)
            break;
        bytes += size;
        end += pairAt(text, end) ? 2 : 1;
    }
    return end;
}

QList<QStringView> cutToBytes(QStringView text, qsizetype maxBytes, const Encoding &encoding)
{
    QList<QStringView> pieces;
    for (qsizetype pos = 0; pos < text.size();) {
        const qsizetype len = fittingLength(text.mid(pos), maxBytes, encoding);
        pieces.append(text.mid(pos, len));
        pos += len;
    }
    return pieces;
}

} // namespace Wire
