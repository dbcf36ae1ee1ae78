#include "LineSplitter.h"

#include <cstring>

namespace {

// Position of the next CR LF at or after from, or -1. Looks for the LF with
// memchr, the fast way through long runs of text.
qsizetype findCrLf(const char *p, qsizetype n, qsizetype from)
{
    qsizetype i = from;
    while (i < n) {
        const void *hit = std::memchr(p + i, '\n', size_t(n - i));
        if (!hit)
            return -1;
        const qsizetype pos = static_cast<const char *>(hit) - p;
        if (pos > from && p[pos - 1] == '\r')
            return pos - 1;
        i = pos + 1;
    }
    return -1;
}

} // namespace

void LineSplitter::start(const QByteArray &chunk)
{
    m_pos = 0;
    m_open = true;
    if (m_tail.isEmpty() && !m_tailCr) {
        m_buffer = chunk;
        return;
    }
    m_buffer.clear();
    m_buffer.reserve(m_tail.size() + 1 + chunk.size());
    m_buffer.append(m_tail);
    if (m_tailCr)
        m_buffer.append('\r');
    m_buffer.append(chunk);
    m_tail.clear();
    m_tailCr = false;
}

LineSplitter::Piece LineSplitter::next()
{
    if (!m_open)
        return {Piece::End, {}};
    const char *p = m_buffer.constData();
    const qsizetype n = m_buffer.size();
    for (;;) {
        const qsizetype end = findCrLf(p, n, m_pos);
        if (end < 0)
            break;
        const qsizetype begin = m_pos;
        m_pos = end + 2;
        if (m_discarding) {   // the end of a dropped line
            m_discarding = false;
            continue;
        }
        if (end - begin > MaxLine)
            return {Piece::Overlong, {}};
        return {Piece::Line, QByteArrayView(p + begin, end - begin)};
    }

    // What is left is an unfinished line; its CR LF may be cut in two.
    const bool cr = m_pos < n && p[n - 1] == '\r';
    const qsizetype rest = n - m_pos - (cr ? 1 : 0);
    m_pos = n;
    m_open = false;
    m_tailCr = cr;
    if (m_discarding)
        return {Piece::End, {}};
    if (rest > MaxLine) {
        m_discarding = true;
        return {Piece::Overlong, {}};
    }
    m_tail = QByteArray(p + n - rest - (cr ? 1 : 0), rest);
    return {Piece::End, {}};
}

void LineSplitter::reset()
{
    m_buffer.clear();
    m_pos = 0;
    m_open = false;
    m_tail.clear();
    m_tailCr = false;
    m_discarding = false;
}
