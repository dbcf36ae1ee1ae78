#pragma once
// The chat wire and the log file are 8-bit text in the Western Windows code page
// (Windows-1252): one byte per character, 0xA3 is "£".

#include <QByteArray>
#include <QString>

namespace Wire {

// One character per byte. The five bytes that Windows-1252 leaves undefined
// map to the control characters of the same code, so every byte round-trips.
QString decode(const char *data, qsizetype size);
inline QString decode(const QByteArray &bytes) { return decode(bytes.constData(), bytes.size()); }

// One byte per character; a character outside the code page becomes "?".
QByteArray encode(const QString &text);

// The byte for one character, or '?' when the code page has none.
char encodeChar(QChar c);
QChar decodeByte(unsigned char b);

} // namespace Wire
