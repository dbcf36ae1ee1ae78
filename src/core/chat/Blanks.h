#pragma once
// Trimming of blanks (0x20) only. The protocol pads with blanks; a tab or a
// no-break space is part of a name and must survive.

#include <QByteArrayView>
#include <QStringView>

namespace Blanks {

inline QStringView trimmed(QStringView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == u' ')
        ++b;
    while (e > b && s[e - 1] == u' ')
        --e;
    return s.sliced(b, e - b);
}

inline QByteArrayView trimmed(QByteArrayView s)
{
    qsizetype b = 0;
    qsizetype e = s.size();
    while (b < e && s[b] == ' ')
        ++b;
    while (e > b && s[e - 1] == ' ')
        --e;
    return s.sliced(b, e - b);
}

} // namespace Blanks
