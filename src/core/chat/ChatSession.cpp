#include "ChatSession.h"

#include "Colors.h"
#include "settings/SettingsAccess.h"
#include "TranscriptSink.h"
#include "codec/Wire.h"

#include <QElapsedTimer>
#include <QTcpSocket>

namespace {
const QString kCrLf = QStringLiteral("\r\n");

// A slice of received data is handled in pieces of this size, and ends once
// it has taken this long, whatever the slice's byte limit.
constexpr qsizetype ReadPiece = 8 * 1024;
constexpr qint64 SliceBudgetNs = 8 * 1000 * 1000;

// The transcript lines of one received chunk go into both panes as one
// batch each, laid out once when the chunk is done.
class PaneBatch
{
public:
    PaneBatch(TranscriptSink &upper, TranscriptSink &lower)
        : m_upper(upper)
        , m_lower(lower)
    {
        m_upper.beginBatch();
        m_lower.beginBatch();
    }
    ~PaneBatch()
    {
        m_lower.endBatch();
        m_upper.endBatch();
    }
    PaneBatch(const PaneBatch &) = delete;
    PaneBatch &operator=(const PaneBatch &) = delete;

private:
    TranscriptSink &m_upper;
    TranscriptSink &m_lower;
};
} // namespace

ChatSession::ChatSession(SettingsAccess &settings, TranscriptSink &upper, TranscriptSink &lower,
                         QObject *parent)
    : QObject(parent)
    , m_settings(settings)
    , m_upper(upper)
    , m_lower(lower)
    , m_socket(new QTcpSocket(this))
    , m_parser(*this, m_roster)
{
    // Let the kernel hold back a flooding server instead of our memory.
    m_socket->setReadBufferSize(1024 * 1024);
    connect(m_socket, &QTcpSocket::connected, this, &ChatSession::onConnected);
    connect(m_socket, &QTcpSocket::readyRead, this, &ChatSession::onReadyRead);
    connect(m_socket, &QTcpSocket::disconnected, this, &ChatSession::onPeerClosed);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &ChatSession::onSocketError);

    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &ChatSession::Login);
}

ChatSession::~ChatSession()
{
    // The program's end closes the connection; nothing is written or sent.
    m_active = false;
    m_socket->disconnect(this);
    m_socket->abort();
}

void ChatSession::Login()
{
    m_retryTimer.stop();
    const QString server = m_settings.server();
    AddText(QStringLiteral("Connecting to ") + server + QStringLiteral("...") + kCrLf, Colors::Red);
    m_active = false;   // closing a previous socket here is no peer close
    m_socket->abort();
    m_parser.resetConnection();
    m_peerClosed = false;
    m_active = true;
    setState(State::Connecting);
    m_socket->connectToHost(server, m_port);
}

void ChatSession::Disconnect()
{
    const bool hadLoggedOn = m_parser.loggedOn();
    m_active = false;      // our own close is not the peer's
    m_sliceQueued = false;
    m_peerClosed = false;
    m_socket->abort();
    AddText(QStringLiteral("Disconnected.") + kCrLf + kCrLf, Colors::Red);
    setState(State::Disconnected);
    m_replyName.clear();
    m_roster.clear();
    m_roster.setCountLabel(QString::number(m_roster.count()));
    setChannel(QString());
    if (m_settings.autoReconnect()) {
        // A connection that had logged on comes back at once; one that never
        // got that far waits, longer each time, so a server that accepts and
        // closes is not hammered.
        if (hadLoggedOn) {
            m_retryDelayMs = m_retryBaseMs;
            Login();
        } else {
            scheduleReconnect();
        }
    }
}

void ChatSession::scheduleReconnect()
{
    const int delay = m_retryDelayMs;
    m_retryDelayMs = qMin(m_retryDelayMs * 2, MaxRetryMs);
    const double seconds = delay / 1000.0;
    setState(State::Waiting);
    AddText(QStringLiteral("Reconnecting in %1 %2...").arg(seconds).arg(seconds == 1 ? QStringLiteral("second") : QStringLiteral("seconds"))
                + kCrLf,
            Colors::Red);
    m_retryTimer.start(delay);
}

void ChatSession::cancelPendingReconnect()
{
    if (!m_retryTimer.isActive())
        return;
    m_retryTimer.stop();
    setState(State::Disconnected);
    AddText(QStringLiteral("Automatic reconnection cancelled.") + kCrLf, Colors::Red);
}

void ChatSession::disconnectByUser()
{
    const bool reconnect = m_settings.autoReconnect();
    m_settings.setAutoReconnect(false);
    Disconnect();
    m_settings.setAutoReconnect(reconnect);
}

bool ChatSession::SendLine(const QString &line)
{
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return false;
    QByteArray bytes = Wire::encode(line);
    // One call is one line: a pasted line break must not smuggle in a second command.
    bytes.replace('\r', ' ').replace('\n', ' ');
    bytes.append('\r');
    if (m_socket->write(bytes) != bytes.size())
        return false;
    emit lineSent(line);
    return true;
}

bool ChatSession::isConnected() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void ChatSession::onConnected()
{
    AddText(QStringLiteral("Connected! Logging on...") + kCrLf, Colors::Green);
    QByteArray record("\x03\x04");
    record += Wire::encode(m_settings.userName());
    record += "\r\n";
    record += Wire::encode(m_settings.password());
    record += "\r\n";
    m_socket->write(record);
    setState(State::LoggingOn);
    emit inputFocusRequested();
}

void ChatSession::onReadyRead()
{
    if (!m_sliceQueued)
        readSlice();
}

// Reads and handles at most one slice, then lets the event loop breathe
// before the next, so that a flood never freezes the window.
void ChatSession::readSlice()
{
    m_sliceQueued = false;
    if (!m_active)
        return;
    {
        // Read in pieces, so that a slow or busy machine ends the slice on
        // time instead of after a fixed number of bytes.
        PaneBatch batch(m_upper, m_lower);
        QElapsedTimer spent;
        spent.start();
        qsizetype taken = 0;
        while (m_active && taken < ReadSlice) {
            const QByteArray chunk = m_socket->read(qMin(ReadPiece, ReadSlice - taken));
            if (chunk.isEmpty())
                break;
            m_parser.ParseData(chunk);
            taken += chunk.size();
            if (spent.nsecsElapsed() >= SliceBudgetNs)
                break;
        }
    }
    if (m_active && m_socket->bytesAvailable() > 0) {
        m_sliceQueued = true;
        QMetaObject::invokeMethod(this, &ChatSession::readSlice, Qt::QueuedConnection);
    } else if (m_active && m_peerClosed) {
        Disconnect();
    }
}

void ChatSession::onPeerClosed()
{
    if (!m_active)
        return;
    // Lines that arrived just before the close still count. They are read
    // in slices like any others (up to a full buffer may be waiting), and
    // the disconnect follows the last of them.
    m_peerClosed = true;
    if (!m_sliceQueued)
        readSlice();
}

void ChatSession::onSocketError(QAbstractSocket::SocketError error)
{
    if (!m_active)
        return;
    // A peer close also arrives as disconnected(), which handles it.
    if (error == QAbstractSocket::RemoteHostClosedError)
        return;
    AddText(QStringLiteral("Connection failed: ") + m_socket->errorString() + kCrLf, Colors::Red);
    Disconnect();
}

void ChatSession::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

void ChatSession::AddText(const QString &txt, Rgb color)
{
    m_upper.AddText(txt, color);
}

void ChatSession::AddText2(const QString &txt, Rgb color)
{
    m_lower.AddText(txt, color);
}

void ChatSession::loggedOn(const QString &ownName)
{
    m_userName = ownName;
    m_retryDelayMs = m_retryBaseMs;
    setState(State::LoggedOn);
    emit ownNameChanged(ownName);
}

void ChatSession::setReplyName(const QString &name)
{
    m_replyName = name;
}

void ChatSession::setChannel(const QString &channel)
{
    if (channel == m_channel)
        return;
    m_channel = channel;
    emit channelChanged(channel);
}

bool ChatSession::sendParserLine(const QString &line)
{
    return SendLine(line);
}

bool ChatSession::joinLeave()
{
    return m_settings.joinLeave();
}

QString ChatSession::homeChan()
{
    return m_settings.homeChan();
}
