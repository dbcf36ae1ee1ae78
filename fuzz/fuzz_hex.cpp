// The hex line convention: any received text through HexTranslate, and any
// text through HexEncode and back. Also the 8-bit wire code both ways.

#include "FuzzChecks.h"

#include "codec/QuillonEngine.h"
#include "codec/SafeText.h"
#include "codec/Wire.h"

#include <QByteArray>

namespace {

const QString Label = QStringLiteral("Translation (HEX): ");

// The translation line without its label.
QString translated(const QString &x)
{
    const QString line = Quillon_Engine::HexTranslate(x);
    FUZZ_CHECK(line.startsWith(Label), "a translation without its label");
    FUZZ_CHECK(!line.contains(QLatin1Char('\n')) && !line.contains(QLatin1Char('\r')), "a translation that breaks its line");
    return line.mid(Label.size());
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const auto *bytes = reinterpret_cast<const char *>(data);
    const QByteArray wire(bytes, qsizetype(size));
    const QString text = Wire::decode(wire);
    FUZZ_CHECK(text.size() == wire.size(), "the wire code is not one character a byte");
    FUZZ_CHECK(Wire::encode(text) == wire, "a byte does not survive the wire code");

    // Whatever arrives after the marker is translated or refused, never more.
    translated(text);

    // What this client sends comes back as it was, up to a NUL, with control
    // characters shown harmlessly; line feed and shift-out are refused.
    const QString sent = Quillon_Engine::HexEncode(text);
    FUZZ_CHECK(sent.size() == 1 + 2 * text.size() && sent.at(0) == QChar(0xA3), "an encoding of the wrong shape");
    for (qsizetype i = 1; i < sent.size(); ++i)
        FUZZ_CHECK(Quillon_Engine::IsHexChar(sent.mid(i, 1)), "a character of an encoding is no hex digit");
    const QString back = translated(sent.mid(1));
    if (wire.contains('\n') || wire.contains('\x0E') || sent.size() - 1 > 32767) {
        FUZZ_CHECK(back == QLatin1String("Bad hex character found, not translating"), "a refused code was translated");
    } else {
        QString expected = text.left(text.indexOf(QChar(0)) < 0 ? text.size() : text.indexOf(QChar(0)));
        SafeText::defang(expected);
        FUZZ_CHECK(back == expected, "a text does not survive the hex convention");
    }
    return 0;
}
