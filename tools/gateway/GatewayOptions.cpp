#include "GatewayOptions.h"

#include <QCommandLineParser>

namespace gateway {

bool GatewayOptions::parse(const QStringList &arguments, QString *errorMessage)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "A small chat gateway on this machine, to try Quillon offline and to test it."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption addressOption({QStringLiteral("a"), QStringLiteral("address")},
                                           QStringLiteral("Address to listen on (default 127.0.0.1)."),
                                           QStringLiteral("address"), QStringLiteral("127.0.0.1"));
    const QCommandLineOption portOption({QStringLiteral("p"), QStringLiteral("port")},
                                        QStringLiteral("TCP port (default 6112; 0 picks a free one)."),
                                        QStringLiteral("port"), QStringLiteral("6112"));
    const QCommandLineOption accountsOption(QStringLiteral("accounts"),
                                            QStringLiteral("Only these accounts may log on: a file of name:password lines."),
                                            QStringLiteral("file"));
    const QCommandLineOption demoOption(QStringLiteral("demo"),
                                        QStringLiteral("Simulated users join, talk, whisper and leave."));
    const QCommandLineOption paceOption(QStringLiteral("demo-pace"),
                                        QStringLiteral("Mean milliseconds between demo events (default 4000)."),
                                        QStringLiteral("ms"), QStringLiteral("4000"));
    const QCommandLineOption channelOption(QStringLiteral("channel"),
                                           QStringLiteral("Channel that users enter on logon (default Quillon)."),
                                           QStringLiteral("name"), QStringLiteral("Quillon"));
    const QCommandLineOption noRulesOption(QStringLiteral("no-server-rules"),
                                           QStringLiteral("Turn off the flood and line length quotas of today's servers (on by default)."));
    const QCommandLineOption adminOption(QStringLiteral("admin"),
                                         QStringLiteral("A user of this name is an administrator and may /announce (repeatable)."),
                                         QStringLiteral("name"));
    parser.addOptions({addressOption, portOption, accountsOption, demoOption, paceOption, channelOption,
                       noRulesOption, adminOption});

    auto fail = [&](const QString &message) {
        if (errorMessage)
            *errorMessage = message;
        return false;
    };
    if (!parser.parse(arguments))
        return fail(parser.errorText());
    if (parser.isSet(helpOption)) {
        exitNow = true;
        exitText = parser.helpText();
        return true;
    }
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().first()));

    const QString addressText = parser.value(addressOption);
    address = addressText.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0
                  ? QHostAddress(QHostAddress::LocalHost)
                  : QHostAddress(addressText);
    if (address.isNull())
        return fail(QStringLiteral("not an IP address: %1").arg(addressText));

    bool ok = false;
    const uint portValue = parser.value(portOption).toUInt(&ok);
    if (!ok || portValue > 65535)
        return fail(QStringLiteral("not a port number: %1").arg(parser.value(portOption)));
    port = quint16(portValue);

    const int pace = parser.value(paceOption).toInt(&ok);
    if (!ok || pace < 1)
        return fail(QStringLiteral("not a number of milliseconds: %1").arg(parser.value(paceOption)));
    demoPaceMs = pace;

    channel = parser.value(channelOption).trimmed();
    if (channel.isEmpty())
        return fail(QStringLiteral("the channel name is empty"));
    accountsFile = parser.value(accountsOption);
    demo = parser.isSet(demoOption);
    serverRules = !parser.isSet(noRulesOption);
    admins = parser.values(adminOption);
    return true;
}

} // namespace gateway
