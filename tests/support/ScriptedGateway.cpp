#include "ScriptedGateway.h"

ScriptedGateway::ScriptedGateway()
{
    connect(&m_server, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket *s = m_server.nextPendingConnection()) {
            ++m_accepted;
            m_client = s;
            m_received.clear();
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                if (s == m_client)
                    m_received += s->readAll();
            });
        }
    });
}
