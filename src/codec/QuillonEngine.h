#pragma once
// The hex line convention between users of this client: a chat line made of
// the marker "£" and, for each character, its 8-bit code as two upper-case
// hex digits. Receivers translate it back into the transcript.

#include <QString>

class TranscriptSink;

namespace Quillon_Engine {

// True when s is exactly one character among 0-9, a-f, A-F.
bool IsHexChar(const QString &s);

// "£" followed by two hex digits per character. Characters the 8-bit code
// page lacks are sent as "?" (3F), as they would be on the wire.
QString HexEncode(const QString &text);

// Translates x (the received text without its marker) and appends the
// outcome to upper: the time stamp, then the decoded text up to its first
// NUL, or the refusal line when x is not a run of hex pairs or holds a
// line feed (0A) or shift-out (0E) pair.
void HexTranslate(const QString &x, TranscriptSink &upper);

} // namespace Quillon_Engine
