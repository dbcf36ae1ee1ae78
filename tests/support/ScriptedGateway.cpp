#include "ScriptedGateway.h"

#include <QDeadlineTimer>
#include <QTest>

ScriptedGateway::ScriptedGateway(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = m_server.nextPendingConnection()) {
            ++m_accepted;
            if (m_acceptAndClose) {
                s->abort();
                s->deleteLater();
                continue;
            }
            if (m_client)
                m_client->deleteLater();
            m_client = s;
            m_received.clear();
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                if (s == m_client)
                    m_received += s->readAll();
            });
        }
    });
}

ScriptedGateway::~ScriptedGateway()
{
    if (m_client)
        m_client->abort();
}

bool ScriptedGateway::listen()
{
    return m_server.listen(QHostAddress::LocalHost, 0);
}

bool ScriptedGateway::waitForClient(int timeoutMs)
{
    const int before = m_accepted;
    QDeadlineTimer deadline(timeoutMs);
    while (m_accepted == before && !deadline.hasExpired())
        QTest::qWait(5);
    return m_accepted != before;
}

bool ScriptedGateway::waitForBytes(qsizetype n, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (m_received.size() < n && !deadline.hasExpired())
        QTest::qWait(5);
    return m_received.size() >= n;
}

bool ScriptedGateway::waitForReceivedEnding(const QByteArray &tail, int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!m_received.endsWith(tail) && !deadline.hasExpired())
        QTest::qWait(5);
    return m_received.endsWith(tail);
}

QByteArray ScriptedGateway::take()
{
    QByteArray out = m_received;
    m_received.clear();
    return out;
}

void ScriptedGateway::send(const QByteArray &bytes)
{
    if (!m_client)
        return;
    m_client->write(bytes);
    m_client->flush();
}

void ScriptedGateway::sendLines(const QList<QByteArray> &lines)
{
    QByteArray all;
    for (const QByteArray &l : lines)
        all += l + "\r\n";
    send(all);
}

void ScriptedGateway::dropClient()
{
    if (m_client) {
        m_client->flush();
        m_client->disconnectFromHost();
    }
}

void ScriptedGateway::resetClient()
{
    if (m_client)
        m_client->abort();
}
