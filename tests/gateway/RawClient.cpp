#include "RawClient.h"

#include <QTest>

RawClient::RawClient()
{
    connect(&socket, &QTcpSocket::readyRead, this, [this] {
        const QByteArray bytes = socket.readAll();
        received += bytes;
        m_buffer += bytes;
        for (qsizetype end; (end = m_buffer.indexOf("\r\n")) >= 0; m_buffer.remove(0, end + 2)) {
            const QByteArray line = m_buffer.left(end);
            framingOk = framingOk && !line.contains('\r') && !line.contains('\n');
            lines.append(QString::fromLatin1(line));
        }
    });
}

bool RawClient::connectTo(quint16 port)
{
    socket.connectToHost(QStringLiteral("127.0.0.1"), port);
    return socket.waitForConnected(Timeout);
}

bool RawClient::logon(quint16 port, const QString &wanted)
{
    if (connectTo(port))
        sendRaw("\x03\x04" + wanted.toLatin1() + "\r\npw\r\n");
    const qsizetype at = waitForLine([](const QString &l) { return l.startsWith(QLatin1String("2010 NAME ")); });
    name = at < 0 ? QString() : lines[at].mid(10);
    const qsizetype listed = waitForLine([&](const QString &l) { return l.startsWith(QStringLiteral("1001 USER %1 ").arg(name)); });
    lines.remove(0, listed + 1);
    return listed >= 0;
}

qsizetype RawClient::waitForLine(const std::function<bool(const QString &)> &match)
{
    qsizetype found = -1;
    (void)QTest::qWaitFor([&] {
        for (qsizetype i = 0; found < 0 && i < lines.size(); ++i)
            found = match(lines[i]) ? i : -1;
        return found >= 0 || socket.state() != QAbstractSocket::ConnectedState;
    }, Timeout);
    if (found < 0)
        qWarning().noquote() << name << "waited in vain, got" << lines;
    return found;
}

bool RawClient::waitFor(const QString &line)
{
    const qsizetype at = waitForLine([&](const QString &l) { return l == line; });
    lines.remove(0, at + 1);
    return at >= 0;
}

bool RawClient::sync()
{
    send(QStringLiteral("/whois ") + name);
    const QString answer = QStringLiteral("1018 INFO \"%1 is using").arg(name);
    const qsizetype at = waitForLine([&](const QString &l) { return l.startsWith(answer); });
    if (at >= 0)
        lines.removeAt(at);
    return at >= 0;
}
