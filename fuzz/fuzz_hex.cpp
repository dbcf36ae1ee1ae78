// The hex line convention: any received text through HexTranslate, and any
// text through HexEncode and back. Also the 8-bit wire code both ways.

#include "FuzzChecks.h"

#include "codec/QuillonEngine.h"
#include "codec/SafeText.h"
#include "codec/Wire.h"

// The translation line without its label.
static QString translated(const QString &x)
{
    static const QString Label = QStringLiteral("Translation (HEX): ");
    const QString line = Quillon_Engine::HexTranslate(x);
    FUZZ_CHECK(line.startsWith(Label), "a translation without its label");
    FUZZ_CHECK(!breaksLine(line), "a translation that breaks its line");
    return line.mid(Label.size());
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray wire(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString text = Wire::decode(wire);
    FUZZ_CHECK(text.size() == wire.size(), "the wire code is not one character a byte");
    FUZZ_CHECK(Wire::encode(text) == wire, "a byte does not survive the wire code");

    // Whatever arrives after the marker is translated or refused, never more.
    translated(text);

    // What this client sends comes back as it was, up to a NUL, with control
    // characters shown harmlessly and the bytes read by the per-line rule; line
    // feed and shift-out are refused.
    const QString sent = Quillon_Engine::HexEncode(text);
    FUZZ_CHECK(sent.size() == 1 + 2 * text.size() && sent.at(0) == QChar(0xA3), "an encoding of the wrong shape");
    for (qsizetype i = 1; i < sent.size(); ++i)
        FUZZ_CHECK(Quillon_Engine::IsHexChar(sent.mid(i, 1)), "a character of an encoding is no hex digit");
    const QString back = translated(sent.mid(1));
    if (wire.contains('\n') || wire.contains('\x0E') || sent.size() - 1 > 32767) {
        FUZZ_CHECK(back == QLatin1String("Bad hex character found, not translating"), "a refused code was translated");
    } else {
        // The bytes before the first NUL, read as a received line is.
        const qsizetype nul = wire.indexOf('\0');
        QString expected = Wire::decodeLine(QByteArrayView(wire).first(nul >= 0 ? nul : wire.size()),
                                            Wire::Encoding::windows1252());
        SafeText::defang(expected);
        FUZZ_CHECK(back == expected, "a text does not survive the hex convention");
    }
    return 0;
}
