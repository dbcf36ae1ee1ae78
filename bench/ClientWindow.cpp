#include "ClientWindow.h"

#include "Report.h"

#include "chat/TranscriptPane.h"
#include "settings/DialogSettings.h"
#include "settings/Registry.h"
#include "settings/UserFile.h"

#include <QApplication>
#include <QSettings>
#include <QTextBlock>

namespace ClientWindow {

namespace {
const QString Loopback = QStringLiteral("127.0.0.1");
}

void useSettingsFolder(const QString &folder)
{
    const QString machine = folder + QStringLiteral("/machine");
    const QString user = folder + QStringLiteral("/user");
    qputenv("XDG_CONFIG_DIRS", machine.toLocal8Bit());
    qputenv("XDG_CONFIG_HOME", user.toLocal8Bit());
    // The daily log (on by default) writes under the folder too.
    qputenv("XDG_DATA_HOME", QString(folder + QStringLiteral("/data")).toLocal8Bit());
    for (auto format : {QSettings::NativeFormat, QSettings::IniFormat}) {
        QSettings::setPath(format, QSettings::SystemScope, machine);
        QSettings::setPath(format, QSettings::UserScope, user);
    }
    Registry::setFoldersForTesting(machine, user);
    // The server list would otherwise name the real gateways.
    Registry::WriteRegString(Registry::Hive::LocalMachine, QStringLiteral("Software\\Battle.net\\Configuration"),
                             QStringLiteral("Server List"), Loopback);
    Registry::WriteRegString(Registry::Hive::LocalMachine, UserFile::SubKey, QStringLiteral("Server"), Loopback);
    Registry::WriteRegString(Registry::Hive::LocalMachine, UserFile::SubKey, QStringLiteral("AutoReconnect"),
                             QStringLiteral("0"));
}

std::unique_ptr<MainWindow> show()
{
    auto window = std::make_unique<MainWindow>();
    if (window->settings().server() != Loopback) {
        Report::note(QStringLiteral("the client's server is %1, not %2; nothing is measured")
                         .arg(window->settings().server(), Loopback));
        return nullptr;
    }
    window->show();
    QApplication::processEvents();
    return window;
}

bool lastUpperLineEndsWith(MainWindow &window, const QString &text)
{
    // The last block is the empty one after the final CR LF.
    const QTextBlock last = window.txtChat()->document()->lastBlock().previous();
    return last.isValid() && last.text().endsWith(text);
}

} // namespace ClientWindow
