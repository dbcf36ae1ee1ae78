#include "Attention.h"

namespace {

// Line breaks and tabs become blanks; other control characters, including
// the ones that reorder text, are dropped.
QString withoutControls(const QString &text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u'\t' || c == u'\r' || c == u'\n')
            out += QLatin1Char(' ');
        else if (ch.category() != QChar::Other_Control && !(c >= 0x202A && c <= 0x202E)
                 && !(c >= 0x2066 && c <= 0x2069))
            out += ch;
    }
    return out;
}

// At most max characters, never splitting a surrogate pair; "…" marks a cut.
QString cut(const QString &text, int max)
{
    if (text.size() <= max)
        return text;
    qsizetype end = max - 1;
    if (text.at(end - 1).isHighSurrogate())
        --end;
    return text.left(end) + QChar(0x2026);
}

QString plainAndShort(const QString &text, int max)
{
    return cut(withoutControls(text).trimmed(), max).toHtmlEscaped();
}

} // namespace

QString Attention::title(const QString &base) const
{
    if (m_unseen == 0)
        return base;
    return QLatin1Char('(') + QString::number(m_unseen) + QLatin1String(") ") + base;
}

Attention::Notice Attention::notice(const QString &from, const QString &text)
{
    return {plainAndShort(from, MaxNameLength), plainAndShort(text, MaxTextLength)};
}
