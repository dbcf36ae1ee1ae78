#include "Gateway.h"

#include "ChatCommands.h"
#include "ClientLink.h"
#include "DemoCrowd.h"
#include "Participant.h"

#include <QTcpSocket>

#include <chrono>

namespace gateway {

namespace {

// Control characters would only garble other users' screens.
QString withoutControls(QString text)
{
    text.removeIf([](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7F; });
    return text;
}

qint64 steadySeconds()
{
    using namespace std::chrono;
    return duration_cast<seconds>(steady_clock::now().time_since_epoch()).count();
}

} // namespace

Gateway::Gateway(const QString &defaultChannel, QObject *parent)
    : QTcpServer(parent), m_hub(defaultChannel), m_clock(steadySeconds),
      m_maxPendingOutput(ClientLink::MaxPendingOutput)
{
}

Gateway::~Gateway()
{
    close();
    m_demo.reset();
    const QSet<ClientLink *> links = m_links;
    for (ClientLink *link : links) {
        link->disconnect(this);
        if (link->isLoggedOn())
            m_hub.logOff(*link);
    }
    qDeleteAll(links);
}

void Gateway::setAccounts(const Accounts &accounts)
{
    m_accounts = accounts;
    m_checkAccounts = true;
    m_hub.setAccountCheck([this](const QString &name) { return m_accounts.contains(name); });
}

void Gateway::setAdmins(const QStringList &names)
{
    m_admins.clear();
    for (const QString &name : names)
        m_admins.insert(name.toLower());
}

void Gateway::startDemo(int paceMs)
{
    if (m_demo)
        return;
    m_demo = std::make_unique<DemoCrowd>(m_hub, paceMs);
    m_demo->start();
}

bool Gateway::isValidName(const QString &name)
{
    if (name.isEmpty() || name.size() > ChatHub::MaxNameLength)
        return false;
    for (const QChar c : name) {
        if (c.unicode() <= 0x20 || c.unicode() == 0x7F || c == QLatin1Char('"'))
            return false;
    }
    return true;
}

void Gateway::incomingConnection(qintptr socketDescriptor)
{
    auto *socket = new QTcpSocket;
    if (!socket->setSocketDescriptor(socketDescriptor)) {
        delete socket;
        return;
    }
    if (m_links.size() >= MaxClients) {
        socket->abort();
        delete socket;
        return;
    }
    auto *link = new ClientLink(socket, this);
    link->setMaxPendingOutput(m_maxPendingOutput);
    m_links.insert(link);
    connect(link, &ClientLink::logonRequested, this, &Gateway::onLogon);
    connect(link, &ClientLink::lineReceived, this, &Gateway::onLine);
    // Queued: a link may close while the hub is routing a line to it.
    connect(link, &ClientLink::closed, this, &Gateway::onClosed, Qt::QueuedConnection);
}

void Gateway::onLogon(ClientLink *link, const QString &name, const QString &password)
{
    if (!isValidName(name) || (m_checkAccounts && !m_accounts.check(name, password))) {
        link->refuseLogon();
        return;
    }
    link->setName(name);
    if (m_admins.contains(name.toLower()))
        link->setFlags(UserFlags::Admin);
    link->acceptLogon();
    m_hub.logOn(*link);
}

void Gateway::onLine(ClientLink *link, const QString &line)
{
    if (line.isEmpty())
        return;
    if (m_serverRules) {
        const QString quotaExceeded = QStringLiteral("Your message quota has been exceeded!");
        switch (link->quota().take(line.size(), m_clock())) {
        case FloodQuota::Verdict::Pass:
            break;
        case FloodQuota::Verdict::TooLong:
            ChatHub::error(*link, QStringLiteral("Your line length quota has been exceeded!"));
            return;
        case FloodQuota::Verdict::Refused:
            ChatHub::error(*link, quotaExceeded);
            return;
        case FloodQuota::Verdict::Disconnect:
            ChatHub::error(*link, quotaExceeded);
            link->hangUp();
            return;
        }
    }
    ChatCommands::run(m_hub, *link, withoutControls(line));
}

void Gateway::onClosed(ClientLink *link)
{
    if (!m_links.remove(link))
        return;
    if (link->isLoggedOn())
        m_hub.logOff(*link);
    link->deleteLater();
}

} // namespace gateway
