#pragma once
// The client's own main window, shown (offscreen), with the settings it
// loads kept in the benchmark's temporary folder.

#include "shell/MainWindow.h"

#include <memory>

namespace ClientWindow {

// Keeps both settings stores under folder, with 127.0.0.1 as the only server
// and automatic reconnection off.
void useSettingsFolder(const QString &folder);

// A shown main window, or none when its server is not the loopback one.
std::unique_ptr<MainWindow> show();

// The upper pane's last complete line ends with text.
bool lastUpperLineEndsWith(MainWindow &window, const QString &text);

} // namespace ClientWindow
