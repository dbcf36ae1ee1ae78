// quillon-gateway: a chat gateway on this machine for trying Quillon offline.

#include "Accounts.h"
#include "Gateway.h"
#include "GatewayOptions.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("quillon-gateway"));

    GatewayOptions options;
    QString message;
    if (!options.parse(QCoreApplication::arguments(), &message)) {
        std::fprintf(stderr, "quillon-gateway: %s\n", qPrintable(message));
        return 2;
    }
    if (options.exitNow) {
        std::fputs(qPrintable(options.exitText), stdout);
        return 0;
    }

    Gateway gateway(options.channel);
    gateway.setServerRules(options.serverRules);
    gateway.setAdmins(options.admins);
    if (!options.accountsFile.isEmpty()) {
        Accounts accounts;
        if (!accounts.load(options.accountsFile, &message)) {
            std::fprintf(stderr, "quillon-gateway: %s\n", qPrintable(message));
            return 1;
        }
        gateway.setAccounts(accounts);
    }
    if (!gateway.listen(options.address, options.port)) {
        std::fprintf(stderr, "quillon-gateway: cannot listen on %s:%u: %s\n",
                     qPrintable(options.address.toString()), unsigned(options.port),
                     qPrintable(gateway.errorString()));
        return 1;
    }
    if (options.demo)
        gateway.startDemo(options.demoPaceMs);

    std::printf("listening on %s:%u\n", qPrintable(gateway.serverAddress().toString()),
                unsigned(gateway.serverPort()));
    std::fflush(stdout);
    return app.exec();
}
