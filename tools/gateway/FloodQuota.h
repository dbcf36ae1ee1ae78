#pragma once
// The flood rule of today's servers (bnetd with its default settings), for
// one connection: a line counts ceil(length / 40) virtual lines, at least
// one; counts expire 5 whole seconds after they were taken; a line that
// brings the total to 5 is refused but still counts, and at 10 the server
// hangs up. A line longer than 200 characters is refused without counting.

#include <QtGlobal>

#include <deque>

namespace gateway {

class FloodQuota
{
public:
    static constexpr int WrapLength = 40;
    static constexpr int MaxLineLength = 200;
    static constexpr int WindowSeconds = 5;
    static constexpr int RefuseAt = 5;
    static constexpr int DisconnectAt = 10;

    enum class Verdict { Pass, TooLong, Refused, Disconnect };

    // A line of length characters arrives at second now (a whole-second clock).
    Verdict take(qsizetype length, qint64 now);

private:
    struct Count
    {
        qint64 second;
        int lines;
    };
    std::deque<Count> m_counts;  // oldest first
    int m_total = 0;
};

} // namespace gateway
