#pragma once
// One client on a socket: splits its bytes into lines, walks it through the
// logon prompts as today's servers do, and writes event lines back with
// CR LF. Both directions are bounded: a client that sends endless lines
// loses the excess, a client that never reads is dropped once its unsent
// output passes a cap.

#include "FloodQuota.h"
#include "LineSplitter.h"
#include "Participant.h"

#include <QObject>

class QTcpSocket;

namespace gateway {

class ClientLink : public QObject, public Participant
{
    Q_OBJECT
public:
    static constexpr qsizetype MaxLine = 64 * 1024;
    static constexpr qint64 MaxPendingOutput = 1024 * 1024;
    // How long a hang-up waits for the last lines to leave.
    static constexpr int CloseGraceMs = 5000;

    // Takes ownership of socket.
    explicit ClientLink(QTcpSocket *socket, QObject *parent = nullptr);
    ~ClientLink() override;

    void deliver(const QString &line) override;

    bool isLoggedOn() const { return m_state == State::Chat; }
    // The gateway's answers to logonRequested.
    void acceptLogon() { m_state = State::Chat; }
    void refuseLogon();

    // Closes the connection from the gateway's side; closed() follows.
    void drop();
    // Stops reading, sends what is queued, then closes; closed() follows.
    void hangUp();

    FloodQuota &quota() { return m_quota; }

    qint64 pendingOutput() const;
    void setMaxPendingOutput(qint64 bytes) { m_maxPendingOutput = bytes; }

signals:
    void logonRequested(ClientLink *link, const QString &name, const QString &password);
    void lineReceived(ClientLink *link, const QString &line);
    // Emitted once, when the connection is gone.
    void closed(ClientLink *link);

private:
    enum class State { Name, Password, Chat };

    void onReadyRead();
    void handleLine(const QByteArray &line);
    void writeBytes(const QByteArray &bytes);
    void onDisconnected();

    QTcpSocket *m_socket;
    LineSplitter m_splitter{MaxLine};
    FloodQuota m_quota;
    State m_state = State::Name;
    QString m_logonName;
    qint64 m_maxPendingOutput = MaxPendingOutput;
    bool m_dropping = false;
    bool m_closed = false;
};

} // namespace gateway
