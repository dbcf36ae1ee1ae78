#include "SafeText.h"

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace SafeText {

namespace {

bool isControl(char16_t u)
{
    return (u < 0x20 && u != u'\t') || u == 0x7F;
}

// Whether the text holds a control character. Every received line is looked
// at and nearly every one is clean, so eight characters are compared at a
// time where the processor allows it.
bool hasControl(const char16_t *src, qsizetype n)
{
    qsizetype i = 0;
#ifdef __SSE2__
    const __m128i below = _mm_set1_epi16(0x1F);
    const __m128i tab = _mm_set1_epi16(u'\t');
    const __m128i del = _mm_set1_epi16(0x7F);
    const __m128i zero = _mm_setzero_si128();
    for (; i + 8 <= n; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i));
        // v - 0x1F saturates to 0 exactly for the characters up to 0x1F.
        const __m128i low = _mm_cmpeq_epi16(_mm_subs_epu16(v, below), zero);
        const __m128i hits = _mm_or_si128(_mm_andnot_si128(_mm_cmpeq_epi16(v, tab), low), _mm_cmpeq_epi16(v, del));
        if (_mm_movemask_epi8(hits) != 0)
            return true;
    }
#endif
    for (; i < n; ++i)
        if (isControl(src[i]))
            return true;
    return false;
}

} // namespace

void defang(QString &text)
{
    if (!hasControl(reinterpret_cast<const char16_t *>(text.constData()), text.size()))
        return;
    QChar *dst = text.data();
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t u = dst[i].unicode();
        if (isControl(u))
            dst[i] = QChar(u == 0x7F ? char16_t(0x2421) : char16_t(0x2400 + u));
    }
}

} // namespace SafeText
