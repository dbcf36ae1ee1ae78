#include "LineSplitter.h"

#include <algorithm>

namespace gateway {

QList<QByteArray> LineSplitter::feed(QByteArrayView data)
{
    QList<QByteArray> lines;
    const char *p = data.data();
    const char *end = p + data.size();
    while (p < end) {
        if (m_afterCr) {
            m_afterCr = false;
            if (*p == '\n') {
                ++p;
                continue;
            }
        }
        const char *stop = std::find_if(p, end, [](char c) { return c == '\r' || c == '\n'; });
        append(QByteArrayView(p, stop - p));
        if (stop == end)
            break;
        if (m_discarding)
            m_discarding = false;
        else
            lines.append(m_pending);
        m_pending.clear();
        m_afterCr = (*stop == '\r');
        p = stop + 1;
    }
    return lines;
}

int LineSplitter::takeDropped()
{
    const int n = m_dropped;
    m_dropped = 0;
    return n;
}

void LineSplitter::append(QByteArrayView piece)
{
    if (m_discarding || piece.isEmpty())
        return;
    if (m_pending.size() + piece.size() > m_maxPending) {
        m_pending.clear();
        m_pending.squeeze();
        m_discarding = true;
        ++m_dropped;
        return;
    }
    m_pending.append(piece);
}

} // namespace gateway
