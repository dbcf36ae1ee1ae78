#include "RawClient.h"

#include "codec/Wire.h"

#include <QTest>

RawClient::RawClient(QObject *parent) : QObject(parent)
{
    connect(&m_socket, &QTcpSocket::readyRead, this, &RawClient::onReadyRead);
}

bool RawClient::connectTo(quint16 port)
{
    m_socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    return QTest::qWaitFor([this] { return m_socket.state() == QAbstractSocket::ConnectedState; }, Timeout);
}

bool RawClient::logon(quint16 port, const QString &name, const QString &password)
{
    if (!connectTo(port))
        return false;
    sendRaw("\x03\x04" + Wire::encode(name) + "\r\n" + Wire::encode(password) + "\r\n");
    const QString nameLine = waitForPrefix(QStringLiteral("2010 NAME "));
    if (nameLine.isNull())
        return false;
    m_name = nameLine.mid(10);
    return waitForPrefix(QStringLiteral("1001 USER ") + m_name + QLatin1Char(' ')).size() > 0;
}

void RawClient::sendRaw(const QByteArray &bytes)
{
    m_socket.write(bytes);
    m_socket.flush();
}

void RawClient::send(const QString &line)
{
    sendRaw(Wire::encode(line) + '\r');
}

bool RawClient::waitFor(const QString &line, int timeout)
{
    bool found = false;
    (void)QTest::qWaitFor([&] {
        const qsizetype i = m_lines.indexOf(line);
        if (i >= 0) {
            m_lines.remove(0, i + 1);
            found = true;
        }
        return found || !isConnected();
    }, timeout);
    if (!found)
        qWarning().noquote() << "waited in vain for" << line << "got" << m_lines;
    return found;
}

QString RawClient::waitForPrefix(const QString &prefix, int timeout)
{
    QString result;
    (void)QTest::qWaitFor([&] {
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (m_lines[i].startsWith(prefix)) {
                result = m_lines[i];
                m_lines.remove(0, i + 1);
                return true;
            }
        }
        return !isConnected();
    }, timeout);
    if (result.isNull())
        qWarning().noquote() << "waited in vain for a line starting" << prefix << "got" << m_lines;
    return result;
}

bool RawClient::sync()
{
    send(QStringLiteral("/whois ") + m_name);
    const QString marker = QStringLiteral("1018 INFO \"") + m_name + QStringLiteral(" is using");
    bool found = false;
    (void)QTest::qWaitFor([&] {
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (m_lines[i].startsWith(marker)) {
                m_lines.removeAt(i);  // only the answer; earlier lines stay to be checked
                found = true;
                return true;
            }
        }
        return !isConnected();
    }, Timeout);
    return found;
}

bool RawClient::pendingContains(const QString &fragment) const
{
    for (const QString &line : m_lines) {
        if (line.contains(fragment))
            return true;
    }
    return false;
}

void RawClient::onReadyRead()
{
    m_buffer += m_socket.readAll();
    qsizetype end;
    while ((end = m_buffer.indexOf("\r\n")) >= 0) {
        const QByteArray line = m_buffer.left(end);
        if (line.contains('\r') || line.contains('\n'))
            m_framingOk = false;
        m_lines.append(Wire::decode(line));
        m_buffer.remove(0, end + 2);
    }
}
