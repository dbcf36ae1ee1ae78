// quillon-bench: prints the client's performance figures, one per line as
// "name: value unit". With arguments, runs only the named sections
// (parser, roster, e2e, memory; or client, one pass of the client alone
// for a profiler).

#include "Benchmarks.h"
#include "ClientWindow.h"
#include "Report.h"

#include "shell/MainLook.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>

namespace {

// The offscreen platform warns about every window it shows; the figures
// are easier to read without.
void quietMessages(QtMsgType type, const QMessageLogContext &context, const QString &text)
{
    if (text.startsWith(QLatin1String("This plugin does not support propagateSizeHints")))
        return;
    std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, text)));
}

} // namespace

int main(int argc, char **argv)
{
    qInstallMessageHandler(quietMessages);
    // The panes are real widgets; they need no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setFont(MainLook::defaultFont());
    // The main windows of the benchmarks load and write their settings here,
    // never in the user's own store, and know no server but the loopback one.
    QTemporaryDir settingsDir;
    ClientWindow::useSettingsFolder(settingsDir.path());

    QStringList wanted = app.arguments().mid(1);
    const QStringList all = {QStringLiteral("parser"), QStringLiteral("roster"), QStringLiteral("e2e"),
                             QStringLiteral("memory")};
    if (wanted.isEmpty())
        wanted = all;
    for (const QString &w : wanted) {
        if (!all.contains(w) && w != QLatin1String("client")) {
            Report::note(QStringLiteral("unknown section %1; sections: %2").arg(w, all.join(QLatin1Char(' '))));
            return 2;
        }
    }

    QElapsedTimer total;
    total.start();
    // Memory last: it leaves a million lines behind.
    if (wanted.contains(QStringLiteral("parser")))
        Bench::parser();
    if (wanted.contains(QStringLiteral("roster")))
        Bench::roster();
    if (wanted.contains(QStringLiteral("e2e")))
        Bench::endToEnd();
    if (wanted.contains(QStringLiteral("client")))
        Bench::client();
    if (wanted.contains(QStringLiteral("memory")))
        Bench::memory();
    Report::figure(QStringLiteral("bench run time"), total.elapsed() / 1000.0, QStringLiteral("s"));
    return 0;
}
