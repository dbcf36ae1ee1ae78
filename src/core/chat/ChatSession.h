#pragma once
// The chat connection and everything it owns: the socket, the logon, the
// reconnection, the parser, the roster, the outbox (what goes to the server
// after the logon) and the state that a connection changes (its status, the
// channel, the own name and the reply target). No widgets: the main window
// maps the status to its button caption and title, and binds its panes as
// the two transcript sinks.

#include "ChatParser.h"
#include "ReconnectBackoff.h"
#include "RosterModel.h"
#include "conversations/FriendsList.h"
#include "outgoing/Outbox.h"

#include <QElapsedTimer>

#include <QAbstractSocket>
#include <QObject>
#include <QString>
#include <QTimer>

#include <optional>

class QTcpSocket;
class SettingsAccess;
class TranscriptSink;

class ChatSession : public QObject, private ParserHost
{
    Q_OBJECT
public:
    static constexpr quint16 Port = 6112;

    // Where the connection stands. Waiting: an automatic reconnection is due
    // later; Connecting: the socket is opening; LoggingOn: the logon record
    // went out and the server has not accepted it yet.
    enum class State { Disconnected, Waiting, Connecting, LoggingOn, LoggedOn };
    Q_ENUM(State)

    // Whether a disconnect may start the next connection: AsSet follows the
    // auto-reconnect setting, Never is the user's own disconnect.
    enum class Reconnect { AsSet, Never };

    ChatSession(SettingsAccess &settings, TranscriptSink &upper, TranscriptSink &lower,
                QObject *parent = nullptr);
    ~ChatSession() override;

    // Where the server setting points: a host name or address, optionally
    // with ":port"; an IPv6 address with a port goes in brackets
    // ("[::1]:6112"). Without a port, defaultPort. Nothing when the text is
    // no such address.
    struct Address {
        QString host;
        quint16 port = Port;
    };
    static std::optional<Address> parseServer(const QString &server, quint16 defaultPort = Port);

    // Starts a connection to the selected server, as the user asked for it:
    // the waits between automatic attempts start over.
    void Login();
    // Closes the connection, resets its state and, when the policy and the
    // setting allow it, starts the next one.
    void Disconnect(Reconnect policy = Reconnect::AsSet);
    // Writes text, in the chosen encoding, and one CR to the socket at once.
    // False when the socket refuses it. sent, when given, gets the text of
    // the bytes that left, read back as a received line is. Everything after
    // the logon goes through the outbox.
    bool SendLine(const QString &line, QString *sent = nullptr);
    bool isConnected() const;

    // What goes to the server after the logon: split, queued against the
    // flood rule and echoed. It takes lines from the logon to the disconnect.
    Outbox &outbox() { return m_outbox; }

    // The connect button while it reads "&Disconnect".
    void disconnectByUser() { Disconnect(Reconnect::Never); }
    // Drops an automatic attempt that is waiting for its turn.
    void cancelPendingReconnect();

    State state() const { return m_state; }
    // A connection is started and not torn down: connecting, logging on or logged on.
    bool isActive() const
    {
        return m_state == State::Connecting || m_state == State::LoggingOn || m_state == State::LoggedOn;
    }
    // Whether the user is in a channel: none named yet (no connection, or
    // logged on before the server's first 1007 CHANNEL), in the channel the
    // server named last (whose name may be empty), or left it (kicked) and
    // in none until the next one.
    enum class ChannelState { NoneYet, Joined, Left };
    Q_ENUM(ChannelState)
    ChannelState channelState() const { return m_channelState; }
    bool inChannel() const { return m_channelState == ChannelState::Joined; }
    // The channel we are in; empty when in none.
    QString channel() const { return m_channel; }
    QString ownName() const { return m_userName; }      // `UserName` of the window
    QString replyName() const { return m_replyName; }
    QString selName() const { return m_selName; }
    void setSelName(const QString &name) { m_selName = name; }
    // The selected user left (or the roster emptied): the roster commands
    // have no target until the user picks another.
    void forgetGoneSelection();

    RosterModel &roster() { return m_roster; }
    // The friends list, read again after each logon and when a friend comes or goes.
    FriendsList &friends() { return m_friends; }
    ChatParser &parser() { return m_parser; }
    TranscriptSink &upper() { return m_upper; }
    TranscriptSink &lower() { return m_lower; }
    SettingsAccess &settings() { return m_settings; }
    // The chosen text encoding ("Text encoding" in Options), read at each use.
    Wire::Encoding encoding();
    // The waits between automatic attempts after connections that never logged on.
    ReconnectBackoff &backoff() { return m_backoff; }

    void setPortForTesting(quint16 port) { m_port = port; }
    // A connection that lived this long after its logon comes back at once;
    // a shorter one waits like a failed one. Tests shorten it.
    void setStableAfterForTesting(qint64 ms) { m_stableAfterMs = ms; }

signals:
    void stateChanged(ChatSession::State state);
    void ownNameChanged(const QString &name);
    // The channel state or name changed; the name is empty unless Joined.
    void channelChanged(ChatSession::ChannelState state, const QString &channel);
    void inputFocusRequested();
    // Somebody whispered to the user, or named the user in channel talk or an
    // emote; the line has just been appended to the upper pane.
    void alert(const QString &from, const QString &text);
    // A whisper from (received) or to the user is about to be shown in the
    // upper pane: its runs belong to the conversation with user too.
    void conversationLine(const QString &user, bool received);

private:
    // ParserHost
    void loggedOn(const QString &ownName) override;
    void setReplyName(const QString &name) override;
    void setChannel(const QString &channel) override;
    void leftChannel() override;
    void logonRefused(const QString &reason) override;
    void addressed(const QString &from, const QString &text) override;
    bool sendJoin(const QString &line) override;
    void whisperLine(const Whispers::Whisper &whisper) override;
    void friendNotice(const Whispers::FriendNotice &notice) override;
    bool friendsReply(const QString &text) override;

    // The upper pane's red status lines ("Disconnected.").
    void AddText(const QString &txt, Rgb color);
    void connectToServer();
    void placeIn(ChannelState state, const QString &channel);
    void onConnected();
    void onReadyRead();
    void readSlice();
    void onConnectionLost();
    void onSocketError(QAbstractSocket::SocketError error);
    void closeSocket();
    void setState(State state);
    void scheduleReconnect();
    void bindFriends();

    SettingsAccess &m_settings;
    TranscriptSink &m_upper;
    TranscriptSink &m_lower;
    QTcpSocket *m_socket = nullptr;
    quint16 m_port = Port;
    QString m_address;              // host:port of the connection under way, for its messages
    RosterModel m_roster;
    ChatParser m_parser;

    State m_state = State::Disconnected;
    ChannelState m_channelState = ChannelState::NoneYet;
    QString m_channel;
    QString m_userName;
    QString m_replyName;
    QString m_selName;

    QTimer m_sliceTimer;            // the next slice of an arrival, after the event loop's turn
    bool m_connectionLost = false;  // closed or failed; the bytes it left are still being read
    QTimer m_retryTimer;
    ReconnectBackoff m_backoff;
    QElapsedTimer m_loggedOnFor;
    qint64 m_stableAfterMs = 60000;

    Outbox m_outbox;
    FriendsList m_friends;
};
