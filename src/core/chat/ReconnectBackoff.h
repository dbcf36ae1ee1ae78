#pragma once
// How long an automatic reconnection waits after a connection that never
// logged on: 1 s, then twice as long each time, up to 60 s, so that a server
// that accepts and closes at once is not hammered. A logon starts the series
// over. Plain arithmetic: no timer, no socket.

class ReconnectBackoff
{
public:
    static constexpr int FirstMs = 1000;
    static constexpr int MaxMs = 60000;

    // The wait before this attempt; the next one waits twice as long.
    int next();
    // What next() would return, without moving on.
    int peek() const { return m_nextMs; }
    // A logon: the next wait is the first step again.
    void reset() { m_nextMs = m_firstMs; }

    // Tests shorten the first step (0 retries at once, every time).
    void setFirstForTesting(int ms);

private:
    int m_firstMs = FirstMs;
    int m_nextMs = FirstMs;
};
