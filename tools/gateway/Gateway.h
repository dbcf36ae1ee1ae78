#pragma once
// The chat gateway: accepts clients on a TCP port, checks their logon and
// hands their lines to the hub, holding socket clients to today's servers'
// flood and line length quotas unless told otherwise. Optionally runs the
// demo crowd, whose simulated users are never throttled.

#include "Accounts.h"
#include "ChatHub.h"

#include <QSet>
#include <QStringList>
#include <QTcpServer>

#include <functional>
#include <memory>

namespace gateway {

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
    // The flood and line length quotas for socket clients; on by default.
    void setServerRules(bool on) { m_serverRules = on; }
    // Whole seconds for the flood quota; tests set their own clock.
    using Clock = std::function<qint64()>;
    void setClock(Clock clock) { m_clock = std::move(clock); }
    // Users who log on under these names (any case) are administrators.
    void setAdmins(const QStringList &names);

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
    bool m_serverRules = true;
    Clock m_clock;
    QSet<QString> m_admins;  // lower case
    std::unique_ptr<DemoCrowd> m_demo;
    QSet<ClientLink *> m_links;
    qint64 m_maxPendingOutput;
};

} // namespace gateway
