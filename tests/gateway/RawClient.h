#pragma once
// A bare socket client for gateway tests: sends bytes and lines, collects
// the lines that come back and waits for them with bounded waits.

#include <QByteArray>
#include <QObject>
#include <QStringList>
#include <QTcpSocket>

class RawClient : public QObject
{
    Q_OBJECT
public:
    static constexpr int Timeout = 5000;

    explicit RawClient(QObject *parent = nullptr);

    bool connectTo(quint16 port);
    // Sends the logon record and waits for the own listing; false on failure.
    // The name the gateway gave is in name() afterwards.
    bool logon(quint16 port, const QString &name, const QString &password = QStringLiteral("pw"));

    void sendRaw(const QByteArray &bytes);
    // One line as the client sends it: the text and a single CR.
    void send(const QString &line);

    // Waits until the exact line arrived; lines up to it are consumed.
    bool waitFor(const QString &line, int timeout = Timeout);
    // Waits for a line that starts with prefix; returns it (consumed) or a null string.
    QString waitForPrefix(const QString &prefix, int timeout = Timeout);
    // Makes sure everything the gateway sent this client so far has arrived:
    // a whois of oneself is answered after all earlier output. Only the
    // answer is consumed.
    bool sync();

    // Lines received and not yet consumed.
    QStringList pending() const { return m_lines; }
    bool pendingContains(const QString &fragment) const;
    void clear() { m_lines.clear(); }

    QString name() const { return m_name; }
    bool isConnected() const { return m_socket.state() == QAbstractSocket::ConnectedState; }
    // True when every line so far ended in CR LF and held no lone CR or LF.
    bool framingOk() const { return m_framingOk; }
    QTcpSocket &socket() { return m_socket; }

private:
    void onReadyRead();

    QTcpSocket m_socket;
    QByteArray m_buffer;
    QStringList m_lines;
    QString m_name;
    bool m_framingOk = true;
};
