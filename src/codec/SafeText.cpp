#include "SafeText.h"

namespace SafeText {

void defang(QString &text)
{
    const qsizetype n = text.size();
    const QChar *src = text.constData();
    QChar *dst = nullptr; // taken only once something must change
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = (dst ? dst[i] : src[i]).unicode();
        if (u >= 0x20 && u != 0x7F)
            continue;
        if (u == u'\t')
            continue;
        if (!dst)
            dst = text.data();
        dst[i] = QChar(u == 0x7F ? char16_t(0x2421) : char16_t(0x2400 + u));
    }
}

} // namespace SafeText
