#pragma once
// Outgoing lines wait here until the server's flood rule lets them through,
// so that nobody is refused or thrown off for typing fast. The server counts
// each line as ceil(bytes / 40) virtual lines (at least one), forgets a count
// 5 s after the line arrived, refuses a line once its total reaches 5 and
// closes the connection at 10. The queue keeps the cost of the lines sent in
// any window of WindowMs at Budget or less: the first four short lines leave
// at once, later ones as the oldest leave the window. Lines leave in order.

#include "codec/Wire.h"

#include <QObject>
#include <QQueue>
#include <QString>
#include <QTimer>

#include <deque>
#include <functional>

class SendQueue : public QObject
{
    Q_OBJECT
public:
    // Milliseconds on a clock that never goes back; tests pass their own.
    using Clock = std::function<qint64()>;

    // How a line shows when it leaves: not at all (the server answers for
    // commands), or as the user's own chat line. Each waiting line carries
    // its own, so the echo always belongs to the line that left.
    enum class Echo { None, Own };
    Q_ENUM(Echo)

    // The server refuses a line when its total reaches 5.
    static constexpr int Budget = 4;
    static constexpr int BytesPerVirtualLine = 40;
    // The server forgets a line 5 s after it arrived, by a whole-second
    // clock: stamped with the second floor(t), dropped from floor(t) + 5 on,
    // which is never later than t + 5 s, so the rounding needs no margin of
    // its own. What can shrink the gap between two of our lines is the way
    // there: an earlier line held up longer than a later one (a lost packet
    // sent again, a busy server) reaches the server closer to it. Lines sent
    // 7 s apart still arrive 5 s apart as long as that difference stays
    // under 2 s.
    static constexpr qint64 WindowMs = 7000;

    explicit SendQueue(Clock clock = {}, QObject *parent = nullptr);

    // Virtual lines the server counts for line: its bytes in encoding (2 to
    // 4 per character beyond ASCII in UTF-8; the CR the session adds is not
    // counted) per started 40, at least one.
    static int cost(const QString &line, const Wire::Encoding &encoding);

    // The encoding the lines enqueued from now on will leave in.
    void setEncoding(const Wire::Encoding &encoding) { m_encoding = encoding; }

    // Queues line behind the waiting ones; it leaves at once (send() is
    // emitted before this returns) when nothing waits and the budget allows.
    // A line that costs more than the whole budget (over 160 bytes) can
    // never fit: it leaves once the window is empty and costs what it costs.
    // The server refuses it (for its quota, or over 200 bytes for its
    // length), but alone in its window it cannot bring the count near 10.
    void enqueue(const QString &line, Echo echo = Echo::None);

    int waiting() const { return int(m_waiting.size()); }
    // Replaces the clock (an empty one is the real clock); set it before the
    // first line, as times of different clocks do not compare.
    void setClock(Clock clock);
    // The clock time at which the first waiting line may leave; -1 when none waits.
    qint64 nextSendAt() const;

    // Drops the waiting lines and returns how many there were; what was sent
    // still counts.
    int cancel();
    // The connection is gone: drops the waiting lines (returns how many were
    // not sent) and forgets what was sent, as the server does.
    int clear();
    // A new connection: the server's count starts from nothing, so waiting
    // lines may leave at once.
    void restart();

    // Armed for the moment the first waiting line may leave.
    const QTimer &timer() const { return m_timer; }

public slots:
    // Sends every waiting line the budget allows now. The timer calls it;
    // tests call it after moving their clock.
    void poll();

signals:
    // Write line to the server now (and echo it as echo says: this is the
    // moment others see it).
    void send(const QString &line, SendQueue::Echo echo);
    void waitingChanged(int count);

private:
    struct Pending {
        QString line;
        int cost;
        Echo echo;
    };
    struct Sent {
        qint64 at;
        int cost;
    };

    // The earliest clock time at which a line of this cost fits the window
    // (the smallest qint64 when it fits now).
    qint64 dueFor(int cost) const;
    void forgetExpired(qint64 now);
    void reportWaiting();

    Clock m_clock;
    Wire::Encoding m_encoding = Wire::Encoding::utf8();
    QTimer m_timer;
    QQueue<Pending> m_waiting;
    std::deque<Sent> m_sent;        // oldest first
    int m_sentCost = 0;             // sum over m_sent
    int m_reportedWaiting = 0;
    bool m_polling = false;
};
