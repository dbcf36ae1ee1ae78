#include "SendQueue.h"

#include "codec/Wire.h"

#include <chrono>
#include <limits>

namespace {

qint64 steadyMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

constexpr qint64 Now = std::numeric_limits<qint64>::min();

} // namespace

SendQueue::SendQueue(Clock clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock ? std::move(clock) : Clock(steadyMs))
{
    m_timer.setSingleShot(true);
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &SendQueue::poll);
}

void SendQueue::setClock(Clock clock)
{
    m_clock = clock ? std::move(clock) : Clock(steadyMs);
}

int SendQueue::cost(const QString &line, const Wire::Encoding &encoding)
{
    const qsizetype bytes = Wire::lineSize(line, encoding);
    return qMax(1, int((bytes + BytesPerVirtualLine - 1) / BytesPerVirtualLine));
}

void SendQueue::enqueue(const QString &line, Echo echo)
{
    m_waiting.enqueue({line, cost(line, m_encoding), echo});
    poll();
}

qint64 SendQueue::nextSendAt() const
{
    if (m_waiting.isEmpty())
        return -1;
    return qMax(dueFor(m_waiting.head().cost), m_clock());
}

int SendQueue::cancel()
{
    const int dropped = waiting();
    m_waiting.clear();
    m_timer.stop();
    reportWaiting();
    return dropped;
}

int SendQueue::clear()
{
    m_sent.clear();
    m_sentCost = 0;
    return cancel();
}

void SendQueue::restart()
{
    m_sent.clear();
    m_sentCost = 0;
    poll();
}

void SendQueue::poll()
{
    // A line enqueued from a send() handler is picked up by the running loop.
    if (m_polling)
        return;
    m_polling = true;
    const qint64 now = m_clock();
    forgetExpired(now);
    while (!m_waiting.isEmpty() && dueFor(m_waiting.head().cost) <= now) {
        // Counted before it is handed out: the handler may clear() the queue.
        const Pending next = m_waiting.dequeue();
        m_sent.push_back({now, next.cost});
        m_sentCost += next.cost;
        emit send(next.line, next.echo);
    }
    m_polling = false;

    if (m_waiting.isEmpty())
        m_timer.stop();
    else
        m_timer.start(int(qMax<qint64>(1, dueFor(m_waiting.head().cost) - now)));
    reportWaiting();
}

qint64 SendQueue::dueFor(int cost) const
{
    // An oversized line waits for an empty window; any other until enough
    // of the oldest lines have left it.
    int excess = cost > Budget ? m_sentCost : m_sentCost + cost - Budget;
    qint64 due = Now;
    for (auto it = m_sent.begin(); excess > 0 && it != m_sent.end(); ++it) {
        excess -= it->cost;
        due = it->at + WindowMs;
    }
    return due;
}

void SendQueue::forgetExpired(qint64 now)
{
    while (!m_sent.empty() && now - m_sent.front().at >= WindowMs) {
        m_sentCost -= m_sent.front().cost;
        m_sent.pop_front();
    }
}

void SendQueue::reportWaiting()
{
    if (waiting() == m_reportedWaiting)
        return;
    m_reportedWaiting = waiting();
    emit waitingChanged(m_reportedWaiting);
}
