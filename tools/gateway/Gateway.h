#pragma once
// The chat gateway: accepts clients on a TCP port, checks their logon and
// hands their lines to the hub. Optionally runs the demo crowd.

#include "Accounts.h"
#include "ChatHub.h"

#include <QSet>
#include <QTcpServer>

#include <memory>

class ClientLink;
class DemoCrowd;

class Gateway : public QTcpServer
{
    Q_OBJECT
public:
    // Connections beyond this are closed at once.
    static constexpr int MaxClients = 500;

    explicit Gateway(const QString &defaultChannel = QStringLiteral("Quillon"), QObject *parent = nullptr);
    ~Gateway() override;

    // From now on only these accounts may log on.
    void setAccounts(const Accounts &accounts);
    // Starts simulated users in the default channel.
    void startDemo(int paceMs);

    ChatHub &hub() { return m_hub; }
    DemoCrowd *demo() const { return m_demo.get(); }
    int clientCount() const { return int(m_links.size()); }
    // Unsent bytes at which a client is dropped; tests lower it.
    void setMaxPendingOutput(qint64 bytes) { m_maxPendingOutput = bytes; }

    // A name may not be empty, too long, or hold blanks or control characters.
    static bool isValidName(const QString &name);

protected:
    void incomingConnection(qintptr socketDescriptor) override;

private:
    void onLogon(ClientLink *link, const QString &name, const QString &password);
    void onLine(ClientLink *link, const QString &line);
    void onClosed(ClientLink *link);

    ChatHub m_hub;
    Accounts m_accounts;
    bool m_checkAccounts = false;
    std::unique_ptr<DemoCrowd> m_demo;
    QSet<ClientLink *> m_links;
    qint64 m_maxPendingOutput;
};
