#pragma once
// The chat connection and everything it owns: the socket, the parser, the
// roster and the state that a connection changes (its status, the channel,
// the own name and the reply target). No widgets: the main window maps the
// status to its button caption and title, and binds its panes as the two
// transcript sinks.

#include "ChatParser.h"
#include "RosterModel.h"

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

    ChatSession(SettingsAccess &settings, TranscriptSink &upper, TranscriptSink &lower,
                QObject *parent = nullptr);
    ~ChatSession() override;

    // Starts a connection to the selected server.
    void Login();
    // Closes the connection, resets the window state and reconnects when
    // auto-reconnect is on.
    void Disconnect();
    // Sends text and one CR. False when the socket refuses it.
    bool SendLine(const QString &line);
    bool isConnected() const;

    // The connect button while it reads "&Disconnect": a disconnect that does
    // not reconnect, leaving the auto-reconnect setting as it was.
    void disconnectByUser();
    // Drops an automatic attempt that is waiting for its turn.
    void cancelPendingReconnect();
    bool reconnectPending() const { return m_retryTimer.isActive(); }

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

    RosterModel &roster() { return m_roster; }
    ChatParser &parser() { return m_parser; }
    TranscriptSink &upper() { return m_upper; }
    TranscriptSink &lower() { return m_lower; }
    SettingsAccess &settings() { return m_settings; }

    // Automatic attempts after a connection that never logged on wait
    // 1 s, 2 s, 4 s ... up to 60 s. Tests shorten the first step.
    void setPortForTesting(quint16 port) { m_port = port; }
    void setRetryBaseForTesting(int ms) { m_retryBaseMs = ms; m_retryDelayMs = ms; }
    int nextRetryDelayMs() const { return m_retryDelayMs; }

    // Largest piece read from the socket before the event loop gets a turn.
    static constexpr qsizetype ReadSlice = 64 * 1024;

signals:
    void stateChanged(ChatSession::State state);
    void ownNameChanged(const QString &name);
    void channelChanged(const QString &channel);
    void inputFocusRequested();
    // A line went out on the wire (tests and the bench watch it).
    void lineSent(const QString &line);

private:
    // ParserHost
    void AddText(const QString &txt, Rgb color) override;
    void AddText2(const QString &txt, Rgb color) override;
    void loggedOn(const QString &ownName) override;
    void setReplyName(const QString &name) override;
    void setChannel(const QString &channel) override;
    bool sendParserLine(const QString &line) override;
    bool joinLeave() override;
    QString homeChan() override;

    void onConnected();
    void onReadyRead();
    void readSlice();
    void onPeerClosed();
    void onSocketError(QAbstractSocket::SocketError error);
    void setState(State state);
    void scheduleReconnect();

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

    bool m_active = false;          // a connection is started and not yet torn down
    bool m_sliceQueued = false;
    bool m_peerClosed = false;      // the server closed; its last bytes are still being handled
    QTimer m_retryTimer;
    int m_retryBaseMs = 1000;
    int m_retryDelayMs = 1000;
    static constexpr int MaxRetryMs = 60000;
};
