// The per-line decoder: any bytes through Wire::decodeLine with each offered
// fallback, and what UTF-8 allows back through the encoder.

#include "FuzzChecks.h"

#include "codec/Wire.h"

#include <QStringDecoder>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const bool valid = Wire::isValidUtf8(bytes);
    // The validator agrees with Qt's strict decoder.
    QStringDecoder strict(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString qt = strict.decode(bytes);
    FUZZ_CHECK(valid == !strict.hasError(), "the validator and Qt disagree on UTF-8");

    for (const Wire::Encoding::Offer &offer : Wire::Encoding::offered()) {
        const Wire::Encoding encoding = Wire::Encoding::fromName(offer.name);
        const QString text = Wire::decodeLine(bytes, encoding);
        FUZZ_CHECK(size == 0 || !text.isEmpty(), "a line that decodes to nothing");
        if (valid) {
            // Valid UTF-8 is read as such, whatever the choice, and sent back
            // byte for byte.
            FUZZ_CHECK(text == qt, "valid UTF-8 read in the code page");
            FUZZ_CHECK(Wire::encodeText(text, Wire::Encoding::utf8()).bytes == bytes, "UTF-8 does not round-trip");
        } else {
            // One character per byte; the code page gives every byte back.
            FUZZ_CHECK(text.size() == bytes.size(), "a code page line is not one character a byte");
            const Wire::Encoded back = Wire::encodeText(text, encoding.fallback());
            FUZZ_CHECK(back.missing.isEmpty() && back.bytes == bytes, "a byte does not survive its code page");
        }
        // Cutting what was read never cuts a character and loses nothing.
        QString joined;
        for (const QStringView piece : Wire::cutToBytes(text, 1 + qsizetype(size % 7), encoding)) {
            FUZZ_CHECK(!piece.isEmpty(), "an empty piece");
            FUZZ_CHECK(joined.isEmpty() || !joined.back().isHighSurrogate() || !piece.front().isLowSurrogate(),
                       "a piece ends inside a character");
            joined += piece;
        }
        FUZZ_CHECK(joined == text, "the pieces do not make the text");
        FUZZ_CHECK(Wire::lineSize(text, encoding) == Wire::encodeLine(text, encoding).bytes.size(),
                   "the counted size is not the sent size");
    }
    return 0;
}
