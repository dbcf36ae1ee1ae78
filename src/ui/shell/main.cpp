#include "shell/MainLook.h"
#include "shell/MainWindow.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quillon"));
    QApplication::setOrganizationName(QStringLiteral("Ashgrove"));
    QApplication::setApplicationVersion(QStringLiteral("2.2"));
    QApplication::setFont(MainLook::defaultFont());
    MainWindow window;
    window.show();
    return app.exec();
}
