#pragma once
// The hex line convention between users of this client: a chat line made of
// the marker byte 0xA3 ("£") and, for each byte of the text in the sender's
// encoding, two upper-case hex digits. Receivers translate it back into the
// transcript.

#include "codec/Wire.h"

#include <QString>

namespace Quillon_Engine {

// True when s is exactly one character among 0-9, a-f, A-F.
bool IsHexChar(const QString &s);

// True when c starts a hex line: "£", or what the byte 0xA3 reads as in the
// encoding's 8-bit fallback (a Cyrillic page has no "£").
bool IsHexMarker(QChar c, const Wire::Encoding &encoding = Wire::Encoding::windows1252());

// "£" followed by two hex digits per byte of text in encoding. Characters an
// 8-bit code page lacks are sent as "?" (3F), as they would be on the wire.
// Wire::encodeLine sends the "£" of such a line as the single byte 0xA3.
QString HexEncode(const QString &text, const Wire::Encoding &encoding = Wire::Encoding::windows1252());

// Translates x (the received text without its marker) into the line the
// transcript shows under it: "Translation (HEX): " and the text of the bytes
// before the first NUL, read by Wire::decodeLine (UTF-8 when valid, else
// the encoding's 8-bit fallback), or the refusal when x is longer than 32,767
// characters, is not a run of hex pairs or holds a line feed (0A) or
// shift-out (0E) pair.
QString HexTranslate(const QString &x, const Wire::Encoding &encoding = Wire::Encoding::windows1252());

} // namespace Quillon_Engine
