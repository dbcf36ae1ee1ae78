#pragma once
// The hex line convention between users of this client: a chat line made of
// the marker "£" and, for each character, its 8-bit code as two upper-case
// hex digits. Receivers translate it back into the transcript.

#include <QString>

namespace Quillon_Engine {

// True when s is exactly one character among 0-9, a-f, A-F.
bool IsHexChar(const QString &s);

// "£" followed by two hex digits per character. Characters the 8-bit code
// page lacks are sent as "?" (3F), as they would be on the wire.
QString HexEncode(const QString &text);

// Translates x (the received text without its marker) into the line the
// transcript shows under it: "Translation (HEX): " and the decoded text up
// to its first NUL, or the refusal when x is longer than 32,767 characters,
// is not a run of hex pairs or holds a line feed (0A) or shift-out (0E) pair.
QString HexTranslate(const QString &x);

} // namespace Quillon_Engine
