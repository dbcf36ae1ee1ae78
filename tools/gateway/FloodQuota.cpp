#include "FloodQuota.h"

namespace gateway {

FloodQuota::Verdict FloodQuota::take(qsizetype length, qint64 now)
{
    if (length > MaxLineLength)
        return Verdict::TooLong;
    while (!m_counts.empty() && now >= m_counts.front().second + WindowSeconds) {
        m_total -= m_counts.front().lines;
        m_counts.pop_front();
    }
    const int lines = qMax(1, int((length + WrapLength - 1) / WrapLength));
    m_counts.push_back({now, lines});
    m_total += lines;
    if (m_total >= DisconnectAt)
        return Verdict::Disconnect;
    return m_total >= RefuseAt ? Verdict::Refused : Verdict::Pass;
}

} // namespace gateway
