#include "Wire.h"

#include <array>

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
