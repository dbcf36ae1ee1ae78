#include "ChatSession.h"

#include "Colors.h"
#include "settings/SettingsAccess.h"
#include "TranscriptSink.h"
#include "codec/Wire.h"
#include "outgoing/MessageSplitter.h"
#include "outgoing/OwnLineEcho.h"

#include <QElapsedTimer>
#include <QSignalBlocker>
#include <QTcpSocket>

namespace {

// One slice of an arrival reads at most this much before the event loop
// gets a turn, in pieces of ReadPiece, and ends early once it has taken
// SliceBudgetNs, so that a flood never freezes the window.
constexpr qsizetype ReadSlice = 64 * 1024;
constexpr qsizetype ReadPiece = 8 * 1024;
constexpr qint64 SliceBudgetNs = 8 * 1000 * 1000;

// The transcript lines of one slice go into both panes as one batch each,
// laid out once when the slice is done.
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
    connect(m_socket, &QTcpSocket::disconnected, this, &ChatSession::onConnectionLost);
    connect(m_socket, &QTcpSocket::errorOccurred, this, &ChatSession::onSocketError);

    m_sliceTimer.setSingleShot(true);
    m_sliceTimer.setInterval(0);
    connect(&m_sliceTimer, &QTimer::timeout, this, &ChatSession::readSlice);
    m_retryTimer.setSingleShot(true);
    connect(&m_retryTimer, &QTimer::timeout, this, &ChatSession::Login);
    connect(&m_roster, &QAbstractItemModel::rowsRemoved, this, &ChatSession::forgetGoneSelection);
    connect(&m_roster, &QAbstractItemModel::modelReset, this, &ChatSession::forgetGoneSelection);
    connect(&m_queue, &SendQueue::send, this, &ChatSession::writeQueued);
    connect(&m_queue, &SendQueue::waitingChanged, this, &ChatSession::waitingChanged);
}

ChatSession::~ChatSession()
{
    // The program's end closes the connection; nothing is written or sent.
    closeSocket();
}

void ChatSession::Login()
{
    m_retryTimer.stop();
    const QString server = m_settings.server();
    AddText(QStringLiteral("Connecting to ") + server + QStringLiteral("...") + CrLf, Colors::Red);
    closeSocket();
    m_parser.resetConnection();
    setState(State::Connecting);
    m_socket->connectToHost(server, m_port);
}

void ChatSession::Disconnect(Reconnect policy)
{
    // Only a connection that stayed a while counts as a good one: a ban, a
    // kick from the server or a flood disconnection soon after the logon
    // waits like a failed attempt, so the server is not hammered.
    const bool stable = m_state == State::LoggedOn && m_loggedOnFor.elapsed() >= m_stableAfterMs;
    m_retryTimer.stop();
    closeSocket();
    m_echoes.clear();
    reportUnsent(m_queue.clear(), QString());
    AddText(QStringLiteral("Disconnected.") + CrLf + CrLf, Colors::Red);
    setState(State::Disconnected);
    m_replyName.clear();
    m_roster.clear();
    m_roster.setCountLabel(QString::number(m_roster.count()));
    setChannel(QString());
    if (policy == Reconnect::Never || !m_settings.autoReconnect())
        return;
    // A connection that lived comes back at once; one that never got that far
    // or ended soon after its logon waits its turn.
    if (stable) {
        m_backoff.reset();
        Login();
    } else {
        scheduleReconnect();
    }
}

void ChatSession::scheduleReconnect()
{
    const int wait = m_backoff.next();
    const double seconds = wait / 1000.0;
    setState(State::Waiting);
    AddText(QStringLiteral("Reconnecting in %1 %2...")
                    .arg(seconds)
                    .arg(seconds == 1 ? QStringLiteral("second") : QStringLiteral("seconds"))
                + CrLf,
            Colors::Red);
    m_retryTimer.start(wait);
}

void ChatSession::cancelPendingReconnect()
{
    if (m_state != State::Waiting)
        return;
    m_retryTimer.stop();
    setState(State::Disconnected);
    AddText(QStringLiteral("Automatic reconnection cancelled.") + CrLf, Colors::Red);
}

bool ChatSession::SendLine(const QString &line)
{
    if (!isConnected())
        return false;
    QByteArray bytes = Wire::encode(line);
    // One call is one line: a pasted line break must not smuggle in a second command.
    bytes.replace('\r', ' ').replace('\n', ' ');
    bytes.append('\r');
    return m_socket->write(bytes) == bytes.size();
}

bool ChatSession::queueLine(const QString &line, Echo echo)
{
    if (m_state != State::LoggedOn)
        return false;
    m_echoes.enqueue(echo);
    m_queue.enqueue(line);
    return true;
}

bool ChatSession::say(const QString &line)
{
    if (m_state != State::LoggedOn)
        return false;
    const Echo echo = line.startsWith(QLatin1Char('/')) ? Echo::None : Echo::Own;
    for (const QString &piece : MessageSplitter::split(line))
        queueLine(piece, echo);
    return true;
}

void ChatSession::forgetGoneSelection()
{
    if (!m_selName.isEmpty() && m_roster.FindUser(m_selName) < 0)
        m_selName.clear();
}

void ChatSession::cancelWaiting()
{
    const int dropped = m_queue.cancel();
    m_echoes.clear();
    reportUnsent(dropped, QStringLiteral("Cancelled: "));
}

// The queue lets a line go: it is written now and shown now, so the
// transcript keeps the order in which the others see the lines.
void ChatSession::writeQueued(const QString &line)
{
    const Echo echo = m_echoes.isEmpty() ? Echo::None : m_echoes.dequeue();
    if (!SendLine(line)) {
        Disconnect();
        return;
    }
    if (echo == Echo::Own)
        OwnLineEcho::show(*this, line);
}

void ChatSession::reportUnsent(int lines, const QString &why)
{
    if (lines <= 0)
        return;
    AddText(why + (lines == 1 ? QStringLiteral("1 waiting line was not sent.")
                              : QStringLiteral("%1 waiting lines were not sent.").arg(lines))
                + CrLf,
            Colors::Red);
}

bool ChatSession::isConnected() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void ChatSession::onConnected()
{
    AddText(QStringLiteral("Connected! Logging on...") + CrLf, Colors::Green);
    QByteArray record("\x03\x04");
    record += Wire::encode(m_settings.userName());
    record += "\r\n";
    record += Wire::encode(m_settings.password());
    record += "\r\n";
    m_socket->write(record);
    setState(State::LoggingOn);
    emit inputFocusRequested();
}

// Bytes arrived. With no slice queued this is where an arrival starts; it
// lasts until its slices have emptied the socket, and bytes that come
// meanwhile belong to it.
void ChatSession::onReadyRead()
{
    if (m_sliceTimer.isActive())
        return;
    // A new arrival: the parser's working fields start afresh here, and carry
    // across the slices that follow.
    m_parser.beginArrival();
    readSlice();
}

// Reads and handles one slice, then lets the event loop breathe before the
// next. Once the connection is lost and its last bytes are handled, the
// disconnect follows.
void ChatSession::readSlice()
{
    {
        PaneBatch batch(m_upper, m_lower);
        QElapsedTimer spent;
        spent.start();
        qsizetype taken = 0;
        while (taken < ReadSlice) {
            const QByteArray chunk = m_socket->read(qMin(ReadPiece, ReadSlice - taken));
            if (chunk.isEmpty())
                break;
            m_parser.ParseData(chunk);
            taken += chunk.size();
            if (spent.nsecsElapsed() >= SliceBudgetNs)
                break;
        }
    }
    if (m_socket->bytesAvailable() > 0)
        m_sliceTimer.start();
    else if (m_connectionLost)
        Disconnect();
}

// The peer closed or the socket failed. The disconnect runs from the event
// loop, never inside the socket's own signal, and only after the lines that
// arrived before the end (up to a full buffer) are shown.
void ChatSession::onConnectionLost()
{
    m_connectionLost = true;
    if (!m_sliceTimer.isActive())
        m_sliceTimer.start();
}

void ChatSession::onSocketError(QAbstractSocket::SocketError error)
{
    // A peer close also arrives as disconnected(); it needs no explanation.
    if (error != QAbstractSocket::RemoteHostClosedError)
        AddText(QStringLiteral("Connection failed: ") + m_socket->errorString() + CrLf, Colors::Red);
    onConnectionLost();
}

// Our own close: nothing queued survives it, and its signals are not the
// peer's.
void ChatSession::closeSocket()
{
    m_sliceTimer.stop();
    m_connectionLost = false;
    const QSignalBlocker quiet(m_socket);
    m_socket->abort();
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
    m_loggedOnFor.start();
    m_queue.restart();
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

void ChatSession::leftChannel()
{
    // The roster is empty now, so the roster commands have no target.
    m_selName.clear();
}

// The same name and password would be refused again, and servers ban
// addresses that keep failing: end the connection and do not come back.
void ChatSession::logonRefused(const QString &)
{
    if (m_state == State::LoggingOn)
        Disconnect(Reconnect::Never);
}

void ChatSession::addressed(const QString &from, const QString &text)
{
    emit alert(from, text);
}

bool ChatSession::sendParserLine(const QString &line)
{
    return queueLine(line);
}

bool ChatSession::joinLeave()
{
    return m_settings.joinLeave();
}

QString ChatSession::homeChan()
{
    return m_settings.homeChan();
}
