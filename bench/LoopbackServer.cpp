#include "LoopbackServer.h"

#include <arpa/inet.h>
#include <cerrno>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

LoopbackServer::LoopbackServer(QByteArray payload)
    : m_payload(std::move(payload))
{
    m_listenFd = ::socket(AF_INET, SOCK_STREAM, 0);
    if (m_listenFd < 0)
        return;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = 0;
    socklen_t len = sizeof addr;
    if (::bind(m_listenFd, reinterpret_cast<sockaddr *>(&addr), sizeof addr) != 0
        || ::listen(m_listenFd, 1) != 0
        || ::getsockname(m_listenFd, reinterpret_cast<sockaddr *>(&addr), &len) != 0) {
        ::close(m_listenFd);
        m_listenFd = -1;
        return;
    }
    m_port = ntohs(addr.sin_port);
    m_thread = std::thread([this] { serve(); });
}

LoopbackServer::~LoopbackServer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listenFd >= 0)
        ::close(m_listenFd);
}

// Waits for fd to become ready, a tenth of a second at a time, until stopped.
static bool waitFor(int fd, short events, const std::atomic<bool> &stop)
{
    pollfd p{fd, events, 0};
    while (!stop.load()) {
        const int r = ::poll(&p, 1, 100);
        if (r > 0)
            return true;
        if (r < 0)
            return false;
    }
    return false;
}

void LoopbackServer::serve()
{
    if (!waitFor(m_listenFd, POLLIN, m_stop))
        return;
    const int fd = ::accept(m_listenFd, nullptr, nullptr);
    if (fd < 0)
        return;

    // The logon record ends with its second CR LF.
    QByteArray logon;
    char buf[4096];
    while (logon.count("\r\n") < 2 && waitFor(fd, POLLIN, m_stop)) {
        const ssize_t n = ::recv(fd, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        logon.append(buf, n);
    }

    m_writeStart = std::chrono::steady_clock::now();
    m_writing = true;
    qsizetype sent = 0;
    while (sent < m_payload.size() && waitFor(fd, POLLOUT, m_stop)) {
        const ssize_t n = ::send(fd, m_payload.constData() + sent, size_t(m_payload.size() - sent),
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            break;
        if (n > 0)
            sent += n;
        // Whatever the client sends back (its join) is read and dropped.
        while (::recv(fd, buf, sizeof buf, MSG_DONTWAIT) > 0) {
        }
    }
    m_finished = true;

    // Keep the connection open until the benchmark is done with it.
    while (!m_stop.load() && waitFor(fd, POLLIN, m_stop)) {
        if (::recv(fd, buf, sizeof buf, 0) <= 0)
            break;
    }
    ::close(fd);
}
