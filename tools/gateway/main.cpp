// quillon-gateway: a chat gateway on this machine for trying Quillon offline.

#include "Accounts.h"
#include "Gateway.h"
#include "GatewayOptions.h"
#include "WireBytes.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillon-gateway"));

    gateway::GatewayOptions options;
    QString message;
    if (!options.parse(QCoreApplication::arguments(), &message)) {
        std::fprintf(stderr, "quillon-gateway: %s\n", qPrintable(message));
        return 2;
    }
    if (options.exitNow) {
        std::fputs(qPrintable(options.exitText), stdout);
        return 0;
    }

    // Names typed on the command line go out in UTF-8, as today's clients send theirs.
    gateway::Gateway server(gateway::fromUnicode(options.channel));
    server.setServerRules(options.serverRules);
    QStringList admins;
    for (const QString &name : std::as_const(options.admins))
        admins << gateway::fromUnicode(name);
    server.setAdmins(admins);
    if (!options.accountsFile.isEmpty()) {
        gateway::Accounts accounts;
        if (!accounts.load(options.accountsFile, &message)) {
            std::fprintf(stderr, "quillon-gateway: %s\n", qPrintable(message));
            return 1;
        }
        server.setAccounts(accounts);
    }
    if (!server.listen(options.address, options.port)) {
        std::fprintf(stderr, "quillon-gateway: cannot listen on %s:%u: %s\n",
                     qPrintable(options.address.toString()), unsigned(options.port),
                     qPrintable(server.errorString()));
        return 1;
    }
    if (options.demo)
        server.startDemo(options.demoPaceMs);

    std::printf("listening on %s:%u\n", qPrintable(server.serverAddress().toString()),
                unsigned(server.serverPort()));
    std::fflush(stdout);
    return app.exec();
}
