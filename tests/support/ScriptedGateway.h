#pragma once
// A gateway that a test scripts by hand on 127.0.0.1: it accepts clients,
// records every byte the current one sends and writes what the test tells it.

#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <utility>

class ScriptedGateway : public QObject
{
    Q_OBJECT
public:
    ScriptedGateway();

    // Listens on an ephemeral loopback port.
    bool listen() { return m_server.listen(QHostAddress::LocalHost, 0); }
    quint16 port() const { return m_server.serverPort(); }
    // Bounded waits: for the next client, and for what it sent to end with a tail.
    bool waitForClient(int ms = 5000) { return QTest::qWaitFor([&, n = m_accepted] { return m_accepted != n; }, ms); }
    bool waitForReceivedEnding(const QByteArray &tail, int ms = 5000)
    {
        return QTest::qWaitFor([&] { return m_received.endsWith(tail); }, ms);
    }

    // What the current client has sent so far; take() also forgets it.
    QByteArray received() const { return m_received; }
    QByteArray take() { return std::exchange(m_received, {}); }
    // Writes raw bytes, or lines each followed by CR LF, to the current client.
    void send(const QByteArray &bytes)
    {
        if (m_client && m_client->write(bytes) > 0)
            m_client->flush();
    }
    void sendLines(const QList<QByteArray> &lines) { send(lines.join("\r\n") + "\r\n"); }
    // Closes the current client's connection: a peer close.
    void dropClient() { m_client->disconnectFromHost(); }

    QTcpSocket *client() const { return m_client; }
    int clientCount() const { return m_accepted; }

private:
    QTcpServer m_server;
    QPointer<QTcpSocket> m_client;
    QByteArray m_received;
    int m_accepted = 0;
};
