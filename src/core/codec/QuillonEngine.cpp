#include "QuillonEngine.h"

#include "codec/SafeText.h"
#include "codec/Wire.h"

#include <optional>

namespace {

const QString kLabel = QStringLiteral("Translation (HEX): ");
const QString kRefusal = QStringLiteral("Bad hex character found, not translating");
// The longest text the classic translation would take on.
constexpr qsizetype MaxHexText = 32767;

int hexValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    return -1;
}

// The bytes, or nothing when x is not a whole number of hex pairs or a pair
// decodes to a line feed or shift-out, the codes the convention keeps out.
std::optional<QByteArray> decodePairs(const QString &x)
{
    if (x.size() % 2 != 0)
        return std::nullopt;
    QByteArray out(x.size() / 2, Qt::Uninitialized);
    char *dst = out.data();
    const QChar *src = x.constData();
    for (qsizetype i = 0; i < x.size(); i += 2) {
        const int hi = hexValue(src[i]);
        const int lo = hexValue(src[i + 1]);
        if (hi < 0 || lo < 0)
            return std::nullopt;
        const int code = hi * 16 + lo;
        if (code == 0x0A || code == 0x0E)
            return std::nullopt;
        *dst++ = char(code);
    }
    return out;
}

} // namespace

namespace Quillon_Engine {

bool IsHexChar(const QString &s)
{
    return s.size() == 1 && hexValue(s.at(0)) >= 0;
}

bool IsHexMarker(QChar c, const Wire::Encoding &encoding)
{
    return c == QChar(0xA3) || c == encoding.byteChar(0xA3);
}

QString HexEncode(const QString &text, const Wire::Encoding &encoding)
{
    static constexpr char kDigits[] = "0123456789ABCDEF";
    const QByteArray bytes = Wire::encodeText(text, encoding).bytes;
    QString out;
    out.reserve(1 + 2 * bytes.size());
    out += QChar(0xA3);
    for (const char b : bytes) {
        const auto code = static_cast<unsigned char>(b);
        // Always two digits, so the receiver's pairs stay aligned.
        out += QLatin1Char(kDigits[code >> 4]);
        out += QLatin1Char(kDigits[code & 0x0F]);
    }
    return out;
}

QString HexTranslate(const QString &x, const Wire::Encoding &encoding)
{
    std::optional<QByteArray> decoded;
    if (x.size() <= MaxHexText)
        decoded = decodePairs(x);
    if (!decoded)
        return kLabel + kRefusal;
    // A NUL ends the translation; what follows it is not shown, nor read.
    const qsizetype nul = decoded->indexOf('\0');
    QString text = Wire::decodeLine(QByteArrayView(*decoded).first(nul >= 0 ? nul : decoded->size()), encoding);
    SafeText::defang(text);
    return kLabel + text;
}

} // namespace Quillon_Engine
