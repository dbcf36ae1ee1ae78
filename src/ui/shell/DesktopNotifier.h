#pragma once
// Desktop notifications for a window, through the system tray: the tray
// icon (the window's icon) appears with the first notification and goes
// again when withdrawn; a click on it or on the message brings the window
// up. Where the desktop has no tray, nothing is shown. (The freedesktop
// notification service would need Qt D-Bus, which Quillon does not link.)

#include "Attention.h"

#include <QObject>

class QSystemTrayIcon;
class QWidget;

class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    explicit DesktopNotifier(QWidget *window);

    void notify(const Attention::Notice &notice);
    // Hides the tray icon; the window has been seen.
    void withdraw();

private:
    void bringUpWindow();

    QWidget *m_window;
    QSystemTrayIcon *m_tray = nullptr;
};
