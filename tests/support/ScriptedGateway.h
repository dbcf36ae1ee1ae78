#pragma once
// A gateway that a test scripts by hand on 127.0.0.1: it accepts clients,
// records every byte they send and writes whatever the test tells it to.

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>

class ScriptedGateway : public QObject
{
    Q_OBJECT
public:
    explicit ScriptedGateway(QObject *parent = nullptr);
    ~ScriptedGateway() override;

    // Listens on an ephemeral loopback port.
    bool listen();
    quint16 port() const { return m_server.serverPort(); }
    void close() { m_server.close(); }

    // Waits (bounded) for the next client to connect; true when one did.
    bool waitForClient(int timeoutMs = 5000);
    // Waits until the current client has sent at least n bytes in all.
    bool waitForBytes(qsizetype n, int timeoutMs = 5000);
    // Waits until the received bytes end with the given tail.
    bool waitForReceivedEnding(const QByteArray &tail, int timeoutMs = 5000);

    // What the current client has sent so far; take() also forgets it.
    QByteArray received() const { return m_received; }
    QByteArray take();

    // Writes raw bytes to the current client and flushes them.
    void send(const QByteArray &bytes);
    // Writes text lines, each followed by CR LF.
    void sendLines(const QList<QByteArray> &lines);
    // Closes the current client's connection (a peer close).
    void dropClient();
    // Resets the current client's connection.
    void resetClient();

    int clientCount() const { return m_accepted; }
    QTcpSocket *client() const { return m_client; }

    // Closes every connection as soon as it is accepted.
    void setAcceptAndClose(bool on) { m_acceptAndClose = on; }

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QByteArray m_received;
    int m_accepted = 0;
    bool m_acceptAndClose = false;
};
