#include "Highlight.h"

namespace Highlight {

// Every talk line passes through here, so the scan looks for the name's first
// letter in either case and compares the rest only there; a general
// case-insensitive search folds every character of every line.
bool mentions(const QString &text, const QString &ownName)
{
    const qsizetype n = ownName.size();
    if (n == 0 || text.size() < n)
        return false;
    const QChar first = ownName.at(0);
    const char16_t lower = first.toLower().unicode();
    const char16_t upper = first.toUpper().unicode();
    const QStringView rest = QStringView(ownName).sliced(1);
    const QStringView all(text);
    for (qsizetype at = 0; at + n <= all.size(); ++at) {
        const char16_t c = all[at].unicode();
        if (c != lower && c != upper)
            continue;
        if (all.sliced(at + 1, n - 1).compare(rest, Qt::CaseInsensitive) != 0)
            continue;
        const qsizetype end = at + n;
        if ((at == 0 || !all[at - 1].isLetterOrNumber()) && (end == all.size() || !all[end].isLetterOrNumber()))
            return true;
    }
    return false;
}

} // namespace Highlight
