#pragma once
// Inside the gateway a text holds one character per byte, U+0000 to U+00FF,
// whatever the bytes mean: the server only relays them, so UTF-8 from one
// client and Windows-1252 from another leave exactly as they came.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace gateway {

inline QString fromWire(QByteArrayView bytes) { return QString::fromLatin1(bytes); }
inline QByteArray toWire(const QString &text) { return text.toLatin1(); }

// Unicode text of the gateway's own (demo lines, names from the command line)
// as it goes out: in UTF-8, as today's clients read it.
inline QString fromUnicode(const QString &text) { return fromWire(text.toUtf8()); }

// Without blanks or tabs at either end. Only ASCII ones count: QString::trimmed()
// would also take 0x85 and 0xA0, which are bytes of UTF-8 characters ("à" is C3 A0).
inline QString trimmedBlanks(const QString &text)
{
    qsizetype from = 0, to = text.size();
    while (from < to && (text[from] == QLatin1Char(' ') || text[from] == QLatin1Char('\t')))
        ++from;
    while (to > from && (text[to - 1] == QLatin1Char(' ') || text[to - 1] == QLatin1Char('\t')))
        --to;
    return text.mid(from, to - from);
}

} // namespace gateway
