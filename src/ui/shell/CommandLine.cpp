#include "CommandLine.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>

#include <cstdio>

namespace CommandLine {

std::optional<int> answer(int &argc, char **argv)
{
    if (argc <= 1)
        return std::nullopt;

    // A core application is enough to parse and to name the program in the
    // usage line; it needs no display. It is gone before the window starts.
    QCoreApplication app(argc, argv);
    const QString version = QStringLiteral("%1 %2").arg(QCoreApplication::applicationName(),
                                                        QCoreApplication::applicationVersion());

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);   // "-platform" is one word
    parser.setApplicationDescription(
        QStringLiteral("%1: a desktop chat client for the Battle.net text chat gateway.\n"
                       "Run without arguments to open the chat window.")
            .arg(version));
    // Added by hand rather than with addHelpOption(), which also brings --help-all.
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Print this help and exit."));
    const QCommandLineOption versionOption({QStringLiteral("v"), QStringLiteral("version")},
                                           QStringLiteral("Print the version and exit."));
    parser.addOptions({helpOption, versionOption});

    const auto fail = [](const QString &message) {
        std::fprintf(stderr, "quillon: %s\nTry 'quillon --help'.\n", qPrintable(message));
        return 2;
    };
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(parser.errorText());
    if (!parser.positionalArguments().isEmpty())
        return fail(QStringLiteral("unexpected argument: %1").arg(parser.positionalArguments().constFirst()));
    if (parser.isSet(helpOption)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("%s\n", qPrintable(version));
        return 0;
    }
    return std::nullopt;   // only "--": start as usual
}

} // namespace CommandLine
