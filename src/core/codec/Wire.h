#pragma once
// The text on the chat wire and in the files: bytes at the edges, QString
// inside. Today's game clients send UTF-8; older chat programs one byte per
// character in a Windows code page. A received line is read as UTF-8 when its
// bytes are valid UTF-8, and in an 8-bit code page otherwise. Lines go out in
// the encoding the user chose.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringView>

namespace Wire {

// ---- Windows-1252, byte by byte ---------------------------------------------

// One character per byte. The five bytes that Windows-1252 leaves undefined
// (81 8D 8F 90 9D) map to the control characters of the same code, so every
// byte round-trips.
QString decode(const char *data, qsizetype size);
inline QString decode(const QByteArray &bytes) { return decode(bytes.constData(), bytes.size()); }

// One byte per character; a character outside the code page becomes "?".
QByteArray encode(const QString &text);

// The byte for one character, or '?' when the code page has none.
char encodeChar(QChar c);
QChar decodeByte(unsigned char b);

// ---- The chosen encoding --------------------------------------------------------

struct CodePage;

// UTF-8, or an 8-bit code page that Qt's converters know. A small value: the
// code pages' tables are built once and shared.
class Encoding
{
public:
    // Unicode (UTF-8), the default.
    static Encoding utf8();
    static Encoding windows1252();
    // "UTF-8" or a code page's converter name ("windows-1250"), in any case;
    // UTF-8 when the name is unknown or Qt has no converter for it.
    static Encoding fromName(QStringView name);

    struct Offer {
        QString name;      // as fromName() takes it and name() gives it back
        QString caption;   // as the Options dialog shows it
    };
    // What the Options dialog offers, UTF-8 first; code pages that Qt's
    // converters lack are left out.
    static QList<Offer> offered();

    bool isUtf8() const { return m_page == nullptr; }
    QString name() const;
    QString caption() const;   // as offered()
    // The 8-bit code page a received line falls back to when it is not valid
    // UTF-8: this one, or Windows-1252 when this one is UTF-8.
    Encoding fallback() const { return isUtf8() ? windows1252() : *this; }

    // The character of byte b in fallback().
    QChar byteChar(unsigned char b) const;
    // The byte for c in fallback(), or -1 when that code page lacks c.
    int charByte(char16_t c) const;

    friend bool operator==(const Encoding &a, const Encoding &b) { return a.m_page == b.m_page; }

private:
    explicit Encoding(const CodePage *page) : m_page(page) {}
    const CodePage *m_page = nullptr;   // nullptr: UTF-8
};

// ---- Receiving ------------------------------------------------------------------

// True when bytes are well-formed UTF-8: no overlong form, no surrogate
// (D800 to DFFF), nothing above 10FFFF, no stray or missing continuation byte.
bool isValidUtf8(QByteArrayView bytes);

// One received line (or user name, or a hex line's translated bytes): UTF-8
// when its bytes are valid UTF-8, else one character per byte in
// encoding.fallback(). Decided for the whole line, so every byte is kept and
// the result is never empty for non-empty bytes.
QString decodeLine(QByteArrayView bytes, const Encoding &encoding);

// ---- Sending ----------------------------------------------------------------------

struct Encoded {
    QByteArray bytes;   // each missing character is one "?"
    QString missing;    // the characters the encoding lacks, each once, in order
};

// text in encoding. UTF-8 lacks nothing. A lone surrogate is no character
// and becomes "?" in every encoding, without being reported.
Encoded encodeText(QStringView text, const Encoding &encoding);

// One line for the server: as encodeText(), except that a hex line ("£"
// followed by nothing but hex digits, none for "/hex" of an empty text)
// starts with the single marker byte 0xA3 in every encoding, as the hex
// convention wants. A typed "£100" is such a line too.
Encoded encodeLine(QStringView line, const Encoding &encoding);

// The size of encodeLine(line, encoding).bytes, without building them.
qsizetype lineSize(QStringView line, const Encoding &encoding);

// The length (in UTF-16 units) of the longest start of text whose bytes in
// encoding are at most maxBytes, ending between two characters (never inside
// a surrogate pair). At least one whole character when text is not empty,
// even if that character alone is longer, so that a cutter always moves on.
qsizetype fittingLength(QStringView text, qsizetype maxBytes, const Encoding &encoding);

// text cut into pieces of at most maxBytes encoded bytes each (a single
// character longer than that is a piece of its own), with no character cut.
QList<QStringView> cutToBytes(QStringView text, qsizetype maxBytes, const Encoding &encoding);

} // namespace Wire
