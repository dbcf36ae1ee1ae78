#pragma once
// A bare socket client for gateway tests: sends lines, keeps every byte and
// every CR LF line that comes back, and waits for lines with bounded waits.
// Its texts hold one character per byte (Latin-1), so any bytes go out and
// come back exactly.

#include <QObject>
#include <QStringList>
#include <QTcpSocket>

#include <functional>

class RawClient : public QObject
{
    Q_OBJECT
public:
    static constexpr int Timeout = 5000;

    RawClient();
    bool connectTo(quint16 port);
    // Connects, sends the logon record and waits for the own listing; the
    // name the gateway gave is in name afterwards.
    bool logon(quint16 port, const QString &wanted);
    void sendRaw(const QByteArray &bytes) { socket.write(bytes); socket.flush(); }
    // One line as the client sends it: the text and a single CR.
    void send(const QString &line) { sendRaw(line.toLatin1() + '\r'); }

    // Waits for the exact line; lines up to it are consumed.
    bool waitFor(const QString &line);
    // Everything the gateway sent so far has arrived once the whois of
    // oneself is answered; only the answer is consumed.
    bool sync();
    bool pendingContains(const QString &text) const { return !lines.filter(text).isEmpty(); }

    QStringList lines;     // received and not yet consumed
    QByteArray received;   // every byte, to compare with recorded ones
    QString name;
    bool framingOk = true; // no lone CR or LF inside a line so far
    QTcpSocket socket;

private:
    // The index of the first line that matches once one arrived, or -1.
    qsizetype waitForLine(const std::function<bool(const QString &)> &match);
    QByteArray m_buffer;
};
