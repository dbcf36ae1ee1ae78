#pragma once
// A gateway stand-in on its own thread: it listens on 127.0.0.1 (ephemeral
// port), accepts one client, waits for its logon record and then writes the
// whole payload as fast as the socket takes it. The client's thread does
// nothing but receive, so what is measured is the client alone.

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <thread>

class LoopbackServer
{
public:
    explicit LoopbackServer(QByteArray payload);
    ~LoopbackServer();

    bool listening() const { return m_listenFd >= 0; }
    quint16 port() const { return m_port; }

    // True once the logon record arrived and the first byte went out.
    bool writing() const { return m_writing.load(); }
    bool finishedWriting() const { return m_finished.load(); }
    std::chrono::steady_clock::time_point writeStart() const { return m_writeStart; }

private:
    void serve();

    QByteArray m_payload;
    int m_listenFd = -1;
    quint16 m_port = 0;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_writing{false};
    std::atomic<bool> m_finished{false};
    std::chrono::steady_clock::time_point m_writeStart;
    std::thread m_thread;
};
