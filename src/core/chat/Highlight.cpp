#include "Highlight.h"

namespace Highlight {

bool mentions(const QString &text, const QString &ownName)
{
    if (ownName.isEmpty())
        return false;
    for (qsizetype at = text.indexOf(ownName, 0, Qt::CaseInsensitive); at >= 0;
         at = text.indexOf(ownName, at + 1, Qt::CaseInsensitive)) {
        const qsizetype end = at + ownName.size();
        if ((at == 0 || !text.at(at - 1).isLetterOrNumber()) && (end == text.size() || !text.at(end).isLetterOrNumber()))
            return true;
    }
    return false;
}

} // namespace Highlight
