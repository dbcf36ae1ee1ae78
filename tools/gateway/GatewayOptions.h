#pragma once
// The command line of quillon-gateway.

#include <QHostAddress>
#include <QString>
#include <QStringList>

namespace gateway {

struct GatewayOptions
{
    QHostAddress address = QHostAddress(QHostAddress::LocalHost);
    quint16 port = 6112;
    QString accountsFile;        // empty: every name and password are accepted
    bool demo = false;
    int demoPaceMs = 4000;       // mean time between two demo events
    QString channel = QStringLiteral("Quillon");
    bool serverRules = true;     // the flood and line length quotas of today's servers
    QStringList admins;          // names that log on as administrators

    // Parses arguments (program name first). On --help or --version the text
    // goes to exitText and the result is true with exitNow set; a bad option
    // gives false and a message.
    bool parse(const QStringList &arguments, QString *errorMessage);
    bool exitNow = false;
    QString exitText;
};

} // namespace gateway
