#pragma once
// Cuts received chunks into lines at CR LF. An unfinished line waits for the
// next chunk, so where a chunk ends never changes a line. A line longer than
// MaxLine bytes is dropped whole, however it arrives: memory stays bounded
// and the result does not depend on where the chunks were cut.

#include <QByteArray>
#include <QByteArrayView>

class LineSplitter
{
public:
    static constexpr qsizetype MaxLine = 64 * 1024;

    struct Piece {
        enum Kind { End, Line, Overlong } kind;
        QByteArrayView bytes;   // Line: the line without its CR LF
    };

    // Starts on a chunk, behind what is left of the last one.
    void start(const QByteArray &chunk);
    // The next line of the chunk; Overlong once for each dropped line; End
    // when only an unfinished line is left. Views stay valid until start().
    Piece next();

    // Forgets the unfinished line (a new connection).
    void reset();
    // Bytes of the unfinished line held back; never more than MaxLine.
    qsizetype pendingBytes() const { return m_tail.size(); }

private:
    QByteArray m_buffer;        // the chunk, joined to the last one's unfinished line
    qsizetype m_pos = 0;
    bool m_open = false;        // the chunk has bytes that next() has not looked at
    QByteArray m_tail;          // `RecvBuffer`: the unfinished line, without a trailing CR
    bool m_tailCr = false;      // the unfinished line ended in a CR (its LF may come next)
    bool m_discarding = false;  // inside an over-long line, skipping to its CR LF
};
