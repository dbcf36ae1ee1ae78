#pragma once
// Cuts a byte stream into lines that end in CR, LF or CR LF. An unfinished
// line waits for more bytes, up to a cap: a longer fragment is dropped up to
// its next line end, so one client never holds more than the cap.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

namespace gateway {

class LineSplitter
{
public:
    explicit LineSplitter(qsizetype maxPending = 64 * 1024) : m_maxPending(maxPending) {}

    // The lines completed by data, without their line ends.
    QList<QByteArray> feed(QByteArrayView data);

    // How many over-long lines were dropped since the last call.
    int takeDropped();
    qsizetype pendingSize() const { return m_pending.size(); }

private:
    void append(QByteArrayView piece);

    qsizetype m_maxPending;
    QByteArray m_pending;
    bool m_discarding = false;  // inside an over-long line, skipping to its end
    bool m_afterCr = false;     // an LF right after a CR ends no second line
    int m_dropped = 0;
};

} // namespace gateway
