#pragma once
// The chat connection and everything it owns: the socket, the parser, the
// roster and the state that a connection changes (its status, the channel,
// the own name and the reply target). No widgets: the main window maps the
// status to its button caption and title, and binds its panes as the two
// transcript sinks.

#include "ChatParser.h"
#include "ReconnectBackoff.h"
#include "RosterModel.h"
#include "outgoing/SendQueue.h"

#include <QElapsedTimer>
#include <QQueue>

#include <QAbstractSocket>
#include <QObject>
#include <QString>
#include <QTimer>

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

    // Starts a connection to the selected server.
    void Login();
    // Closes the connection, resets its state and, when the policy and the
    // setting allow it, starts the next one.
    void Disconnect(Reconnect policy = Reconnect::AsSet);
    // Writes text and one CR to the socket at once. False when the socket
    // refuses it. Everything after the logon goes through the send queue.
    bool SendLine(const QString &line);
    bool isConnected() const;

    // How a queued line shows when it leaves: not at all (the server answers
    // for commands), or as the user's own chat line.
    enum class Echo { None, Own };
    // Queues one line for the server; it leaves when the server's flood rule
    // allows, in order, and is echoed then. False, and nothing queued, until
    // the server has accepted the logon.
    bool queueLine(const QString &line, Echo echo = Echo::None);
    // Queues what the user says: talk, whispers and emotes too long for the
    // server go as several lines; talk is echoed as the user's own line.
    bool say(const QString &line);
    int waitingLines() const { return m_queue.waiting(); }
    // Drops the lines still waiting and says how many.
    void cancelWaiting();
    SendQueue &sendQueue() { return m_queue; }

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
    ChatParser &parser() { return m_parser; }
    TranscriptSink &upper() { return m_upper; }
    TranscriptSink &lower() { return m_lower; }
    SettingsAccess &settings() { return m_settings; }
    // The waits between automatic attempts after connections that never logged on.
    ReconnectBackoff &backoff() { return m_backoff; }

    void setPortForTesting(quint16 port) { m_port = port; }
    // A connection that lived this long after its logon comes back at once;
    // a shorter one waits like a failed one. Tests shorten it.
    void setStableAfterForTesting(qint64 ms) { m_stableAfterMs = ms; }

signals:
    void stateChanged(ChatSession::State state);
    void ownNameChanged(const QString &name);
    void channelChanged(const QString &channel);
    void inputFocusRequested();
    // Somebody whispered to the user, or named the user in channel talk or an
    // emote; the line has just been appended to the upper pane.
    void alert(const QString &from, const QString &text);
    // How many lines wait for the server's flood rule.
    void waitingChanged(int lines);

private:
    // ParserHost
    void AddText(const QString &txt, Rgb color) override;
    void AddText2(const QString &txt, Rgb color) override;
    void loggedOn(const QString &ownName) override;
    void setReplyName(const QString &name) override;
    void setChannel(const QString &channel) override;
    void leftChannel() override;
    void logonRefused(const QString &reason) override;
    void addressed(const QString &from, const QString &text) override;
    bool sendParserLine(const QString &line) override;
    bool joinLeave() override;
    QString homeChan() override;

    void onConnected();
    void onReadyRead();
    void readSlice();
    void onConnectionLost();
    void onSocketError(QAbstractSocket::SocketError error);
    void closeSocket();
    void setState(State state);
    void scheduleReconnect();
    void writeQueued(const QString &line);
    void reportUnsent(int lines, const QString &why);

    SettingsAccess &m_settings;
    TranscriptSink &m_upper;
    TranscriptSink &m_lower;
    QTcpSocket *m_socket = nullptr;
    quint16 m_port = Port;
    RosterModel m_roster;
    ChatParser m_parser;

    State m_state = State::Disconnected;
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

    SendQueue m_queue;
    QQueue<Echo> m_echoes;          // one per waiting line, in the same order
};
