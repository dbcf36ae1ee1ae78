#pragma once
// Lines longer than the server takes are cut into several instead of being
// refused. Lengths are the bytes the line leaves in (Wire::lineSize: 1 to 4
// a character in UTF-8, one in a code page); no piece ends inside a character.

#include "codec/Wire.h"

#include <QString>
#include <QStringList>

namespace MessageSplitter {

// The longest line the server does not refuse for its cost: 4 virtual lines of 40 bytes.
inline constexpr int MaxBytes = 160;

// The lines to send, in order, for one line; the line itself when it fits.
// - Talk (not starting with "/") is cut at blanks where possible, a longer
//   word hard; the blanks at a cut are dropped. No piece after the first
//   begins with "/", which the server would take for a command.
// - A whisper ("/w", "/whisper", "/m", "/msg" + name + text) or an emote
//   ("/me", "/emote" + text) is cut the same way, and every piece keeps the
//   command and target as typed. Command words match in any case.
// - A hex line ("£" and hex pairs) is cut between pairs; each piece starts
//   with "£", so each translates on its own.
// - Any other command goes out as it is.
QStringList split(const QString &line, const Wire::Encoding &encoding);

} // namespace MessageSplitter
