#include "ClientLink.h"

#include "EventLines.h"
#include "WireBytes.h"

#include <QTcpSocket>
#include <QTimer>

namespace gateway {

namespace {

constexpr qint64 ReadSlice = 64 * 1024;

// The prompts as today's servers send them: without a line end.
constexpr char UsernamePrompt[] = "Username: ";
constexpr char PasswordPrompt[] = "Password: ";

QString peerText(const QTcpSocket &socket)
{
    bool isV4 = false;
    const quint32 v4 = socket.peerAddress().toIPv4Address(&isV4);
    return isV4 ? QHostAddress(v4).toString() : socket.peerAddress().toString();
}

} // namespace

ClientLink::ClientLink(QTcpSocket *socket, QObject *parent)
    : QObject(parent), m_socket(socket)
{
    m_socket->setParent(this);
    // Qt reads no more from the kernel than this before we take it.
    m_socket->setReadBufferSize(ReadSlice);
    connect(m_socket, &QTcpSocket::readyRead, this, &ClientLink::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &ClientLink::onDisconnected);
    connect(m_socket, &QTcpSocket::errorOccurred, this, [this] {
        if (m_socket->state() != QAbstractSocket::ConnectedState)
            onDisconnected();
    });
    writeBytes("BOT or Telnet Connection from [" + peerText(*m_socket).toLatin1() + "]\r\n\r\n"
               "Enter your account name and password.\r\n"
               "Sorry, there is no guest account.\r\n\r\n" + QByteArray(UsernamePrompt));
}

ClientLink::~ClientLink()
{
    m_socket->disconnect(this);
}

void ClientLink::deliver(const QString &line)
{
    writeBytes(toWire(line) + "\r\n");
}

void ClientLink::refuseLogon()
{
    m_state = State::Name;
    writeBytes("Login failed.\r\n\r\n" + QByteArray(UsernamePrompt));
}

void ClientLink::drop()
{
    if (m_closed)
        return;
    m_dropping = true;
    m_socket->abort();
    onDisconnected();
}

void ClientLink::hangUp()
{
    if (m_closed || m_dropping)
        return;
    m_dropping = true;
    // A client that reads nothing would keep the socket closing for good.
    QTimer::singleShot(CloseGraceMs, this, &ClientLink::drop);
    m_socket->disconnectFromHost();
}

qint64 ClientLink::pendingOutput() const
{
    return m_socket->bytesToWrite();
}

void ClientLink::onReadyRead()
{
    QByteArray chunk;
    while (!m_dropping && m_socket->bytesAvailable() > 0) {
        chunk = m_socket->read(ReadSlice);
        if (chunk.isEmpty())
            break;
        const QList<QByteArray> lines = m_splitter.feed(chunk);
        if (const int dropped = m_splitter.takeDropped(); dropped > 0 && isLoggedOn())
            deliver(EventLines::error(QStringLiteral("Your line was longer than %1 bytes and was dropped.").arg(MaxLine)));
        for (const QByteArray &line : lines) {
            if (m_dropping)
                return;
            handleLine(line);
        }
    }
}

void ClientLink::handleLine(const QByteArray &line)
{
    switch (m_state) {
    case State::Name: {
        // The logon record starts with 0x03 0x04; a retry may repeat them.
        qsizetype start = 0;
        while (start < line.size() && (line[start] == '\x03' || line[start] == '\x04'))
            ++start;
        m_logonName = fromWire(line.mid(start));
        m_state = State::Password;
        // The name is echoed, the password is not.
        writeBytes(line.mid(start) + "\r\n" + PasswordPrompt);
        break;
    }
    case State::Password:
        m_state = State::Name;  // until the gateway accepts
        writeBytes("\r\n");
        emit logonRequested(this, m_logonName, fromWire(line));
        break;
    case State::Chat:
        emit lineReceived(this, fromWire(line));
        break;
    }
}

void ClientLink::writeBytes(const QByteArray &bytes)
{
    if (m_dropping || m_closed || m_socket->state() != QAbstractSocket::ConnectedState)
        return;
    m_socket->write(bytes);
    if (m_socket->bytesToWrite() > m_maxPendingOutput) {
        // Dropped from the event loop: the caller may be walking a member list.
        m_dropping = true;
        QMetaObject::invokeMethod(this, &ClientLink::drop, Qt::QueuedConnection);
    }
}

void ClientLink::onDisconnected()
{
    if (m_closed)
        return;
    m_closed = true;
    m_dropping = true;
    emit closed(this);
}

} // namespace gateway
