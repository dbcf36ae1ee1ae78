#include "ChatSession.h"

#include "Colors.h"
#include "settings/SettingsAccess.h"
#include "TranscriptSink.h"
#include "codec/Wire.h"

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
    , m_parser(*this, m_roster, upper, lower)
    , m_outbox(
          upper,
          [this](const QString &line, QString *sent) {
              // A line the socket refuses means the connection is broken.
              if (SendLine(line, sent))
                  return true;
              Disconnect();
              return false;
          },
          [this] { return encoding(); })
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
    connect(&m_retryTimer, &QTimer::timeout, this, &ChatSession::connectToServer);
    connect(&m_roster, &QAbstractItemModel::rowsRemoved, this, &ChatSession::forgetGoneSelection);
    connect(&m_roster, &QAbstractItemModel::modelReset, this, &ChatSession::forgetGoneSelection);
    bindFriends();
}

// The friends list's commands go through the send queue without an echo;
// the lines of a reply that broke off or timed out show as the server's
// information after all.
void ChatSession::bindFriends()
{
    connect(&m_friends, &FriendsList::commandReady, this, [this](const QString &line) { m_outbox.queueLine(line); });
    connect(&m_friends, &FriendsList::released, this, [this](const QStringList &texts) {
        for (const QString &text : texts)
            m_parser.formatter().information(text);
    });
}

ChatSession::~ChatSession()
{
    // The program's end closes the connection; nothing is written or sent.
    closeSocket();
}

std::optional<ChatSession::Address> ChatSession::parseServer(const QString &server, quint16 defaultPort)
{
    const QString text = server.trimmed();
    Address address{text, defaultPort};
    QString port;
    if (text.startsWith(QLatin1Char('['))) {
        // [IPv6 address] or [IPv6 address]:port
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0)
            return std::nullopt;
        address.host = text.mid(1, close - 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty() && !rest.startsWith(QLatin1Char(':')))
            return std::nullopt;
        port = rest.mid(1);
        if (rest.isEmpty())
            port.clear();
        else if (port.isEmpty())
            return std::nullopt;
    } else if (text.count(QLatin1Char(':')) == 1) {
        // host:port; more than one colon is an IPv6 address without a port
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        address.host = text.left(colon);
        port = text.mid(colon + 1);
        if (port.isEmpty())
            return std::nullopt;
    }
    if (address.host.isEmpty() || address.host.contains(QLatin1Char(' ')))
        return std::nullopt;
    if (!port.isEmpty()) {
        bool ok = false;
        address.port = port.toUShort(&ok);
        if (!ok || address.port == 0)
            return std::nullopt;
    }
    return address;
}

void ChatSession::Login()
{
    // The user's own attempt: whatever the automatic ones went through, the
    // next wait is the first step again.
    m_backoff.reset();
    connectToServer();
}

void ChatSession::connectToServer()
{
    m_retryTimer.stop();
    const QString server = m_settings.server();
    AddText(QStringLiteral("Connecting to ") + server + QStringLiteral("...") + CrLf, Colors::Red);
    closeSocket();
    m_outbox.close();
    m_parser.resetConnection();
    const std::optional<Address> address = parseServer(server, m_port);
    if (!address) {
        AddText(QStringLiteral("Connection failed: \"%1\" is not a host name or host:port.").arg(server) + CrLf, Colors::Red);
        setState(State::Disconnected);
        return;
    }
    m_address = (address->host.contains(QLatin1Char(':')) ? '[' + address->host + ']' : address->host)
                + QLatin1Char(':') + QString::number(address->port);
    setState(State::Connecting);
    m_socket->connectToHost(address->host, address->port);
}

void ChatSession::Disconnect(Reconnect policy)
{
    // Only a connection that stayed a while counts as a good one: a ban, a
    // kick from the server or a flood disconnection soon after the logon
    // waits like a failed attempt, so the server is not hammered.
    const bool stable = m_state == State::LoggedOn && m_loggedOnFor.elapsed() >= m_stableAfterMs;
    m_retryTimer.stop();
    closeSocket();
    m_outbox.close();
    AddText(QStringLiteral("Disconnected.") + CrLf + CrLf, Colors::Red);
    setState(State::Disconnected);
    m_replyName.clear();
    m_friends.connectionLost();
    m_roster.clear();
    m_roster.setCountLabel(QString::number(m_roster.count()));
    placeIn(ChannelState::NoneYet, QString());
    if (policy == Reconnect::Never || !m_settings.autoReconnect())
        return;
    // A connection that lived comes back at once; one that never got that far
    // or ended soon after its logon waits its turn.
    if (stable) {
        m_backoff.reset();
        connectToServer();
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

Wire::Encoding ChatSession::encoding()
{
    return Wire::Encoding::fromName(m_settings.encoding("TextEncoding"));
}

bool ChatSession::SendLine(const QString &line, QString *sent)
{
    if (!isConnected())
        return false;
    const Wire::Encoding chosen = encoding();
    QByteArray bytes = Wire::encodeLine(line, chosen).bytes;
    // One call is one line: a pasted line break must not smuggle in a second command.
    bytes.replace('\r', ' ').replace('\n', ' ');
    if (sent)
        *sent = Wire::decodeLine(bytes, chosen);
    bytes.append('\r');
    return m_socket->write(bytes) == bytes.size();
}

void ChatSession::forgetGoneSelection()
{
    if (!m_selName.isEmpty() && m_roster.FindUser(m_selName) < 0)
        m_selName.clear();
}

bool ChatSession::isConnected() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

void ChatSession::onConnected()
{
    AddText(QStringLiteral("Connected! Logging on...") + CrLf, Colors::Green);
    // The logon record: 0x03 0x04, then the name and the password, each
    // closed with CR LF.
    static const QByteArray RecordLineEnd("\r\n");
    QByteArray record("\x03\x04");
    const Wire::Encoding chosen = encoding();
    record += Wire::encodeText(m_settings.userName(), chosen).bytes;
    record += RecordLineEnd;
    record += Wire::encodeText(m_settings.password(), chosen).bytes;
    record += RecordLineEnd;
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
    m_parser.setOptions({m_settings.joinLeave(), m_settings.homeChan(), encoding()});
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
    // The two failures a typed server meets most name what was tried.
    QString why;
    if (error == QAbstractSocket::HostNotFoundError)
        why = QStringLiteral("could not find host %1.").arg(m_address.left(m_address.lastIndexOf(QLatin1Char(':'))));
    else if (error == QAbstractSocket::ConnectionRefusedError)
        why = QStringLiteral("%1 refused the connection.").arg(m_address);
    else if (error != QAbstractSocket::RemoteHostClosedError)
        why = m_socket->errorString();
    if (!why.isEmpty())
        AddText(QStringLiteral("Connection failed: ") + why + CrLf, Colors::Red);
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

void ChatSession::loggedOn(const QString &ownName)
{
    m_userName = ownName;
    m_loggedOnFor.start();
    m_outbox.open(ownName);
    setState(State::LoggedOn);
    emit ownNameChanged(ownName);
    // Every logon, so also each reconnection, reads the friends list anew.
    m_friends.refresh();
}

void ChatSession::setReplyName(const QString &name)
{
    m_replyName = name;
}

void ChatSession::setChannel(const QString &channel)
{
    placeIn(ChannelState::Joined, channel);
}

void ChatSession::leftChannel()
{
    placeIn(ChannelState::Left, QString());
    // The roster is empty now, so the roster commands have no target.
    m_selName.clear();
}

// Both the state and the name go with the signal, so the channel label can
// tell "not logged on", "in no channel" and a channel with an empty name apart.
void ChatSession::placeIn(ChannelState state, const QString &channel)
{
    if (state == m_channelState && channel == m_channel)
        return;
    m_channelState = state;
    m_channel = channel;
    emit channelChanged(state, channel);
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

// The parser's one line: the home channel's join, through the outbox like
// every line after the logon, and refused before it.
bool ChatSession::sendJoin(const QString &line)
{
    return m_outbox.queueLine(line);
}

void ChatSession::whisperLine(const Whispers::Whisper &whisper)
{
    emit conversationLine(whisper.user, whisper.direction == Whispers::Direction::Received);
}

// The status shows at once; the list is read again for the details.
void ChatSession::friendNotice(const Whispers::FriendNotice &notice)
{
    if (notice.kind == Whispers::FriendNotice::Entered)
        m_friends.friendCame(notice.name);
    else
        m_friends.friendLeft(notice.name);
}

bool ChatSession::friendsReply(const QString &text)
{
    return m_friends.consume(text);
}
