#pragma once
// Whether a received line speaks to the user: the own name as a whole word.

#include <QString>

namespace Highlight {

// ownName occurs in text, in any case, with neither a letter nor a digit
// right before or after it. An empty name never matches.
bool mentions(const QString &text, const QString &ownName);

} // namespace Highlight
