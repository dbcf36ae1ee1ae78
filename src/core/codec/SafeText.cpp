#include "SafeText.h"

namespace SafeText {

namespace {

bool isControl(char16_t u)
{
    return (u < 0x20 && u != u'\t') || u == 0x7F;
}

} // namespace

void defang(QString &text)
{
    const qsizetype n = text.size();
    const QChar *src = text.constData();
    // Nearly every text is clean: a branch-free look first, which the
    // compiler turns into wide compares.
    bool any = false;
    for (qsizetype i = 0; i < n; ++i)
        any |= isControl(src[i].unicode());
    if (!any)
        return;
    QChar *dst = text.data();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = dst[i].unicode();
        if (isControl(u))
            dst[i] = QChar(u == 0x7F ? char16_t(0x2421) : char16_t(0x2400 + u));
    }
}

} // namespace SafeText
