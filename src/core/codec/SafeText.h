#pragma once
// Text from other users is shown verbatim, but a control character in it must
// not act on the transcript: a CR or LF would start a line that looks like one
// the client wrote itself. Such characters are swapped for their visible
// Unicode "control picture" so they stay on the line they arrived in.

#include <QString>

namespace SafeText {

// Replaces, in place, every control character 0x00 to 0x1F except TAB by the
// control picture U+2400 + code, and DEL (0x7F) by U+2421. One pass; a text
// without such characters is neither copied nor detached.
void defang(QString &text);

} // namespace SafeText
