#include "shell/CommandLine.h"
#include "shell/MainLook.h"
#include "shell/MainWindow.h"
#include "settings/DialogStyle.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setOrganizationName(QStringLiteral("Ashgrove"));
    QApplication::setApplicationVersion(QStringLiteral("2.2"));
    if (const std::optional<int> status = CommandLine::answer(argc, argv))
        return *status;   // --help, --version or a bad argument: no window
    QApplication app(argc, argv);
    QGuiApplication::setDesktopFileName(QStringLiteral("org.ashgrove.Quillon"));
    QApplication::setFont(MainLook::defaultFont());
    // One look for every window, also those opened without a parent.
    DialogStyle::applyToApplication();
    MainWindow window;
    window.show();
    return app.exec();
}
