#pragma once
// Desktop notifications for a window. Where the session bus carries the
// desktop's notification service (org.freedesktop.Notifications), a notice
// goes there, replacing the previous one, and clicking it brings the window
// up. Where only a system tray exists, the tray icon (the window's icon)
// appears with the first notice and goes again when withdrawn; a click on it
// or on its message brings the window up. Where neither exists, nothing is
// shown and availability() says why. Without a session bus (as in CI) the
// service is simply not there: nothing waits on it.

#include "Attention.h"

#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;
class QSystemTrayIcon;
class QWidget;

class DesktopNotifier : public QObject
{
    Q_OBJECT
public:
    enum class Channel { Service, Tray, None };

    explicit DesktopNotifier(QWidget *window);

    // Looked up once, at the first question or notice.
    Channel channel();
    // Empty when notices can be shown; otherwise the reason, for the Options
    // dialog to show beside the disabled switch.
    QString availability();

    void notify(const Attention::Notice &notice);
    // Takes the notice back; the window has been seen.
    void withdraw();

private slots:
    // org.freedesktop.Notifications.ActionInvoked(id, action_key)
    void actionInvoked(uint id, const QString &action);

private:
    static bool serviceOnSessionBus();
    void notifyService(const Attention::Notice &notice);
    void notifyTray(const Attention::Notice &notice);
    void bringUpWindow();

    QWidget *m_window;
    QSystemTrayIcon *m_tray = nullptr;
    Channel m_channel = Channel::None;
    bool m_probed = false;
    uint m_noticeId = 0;   // the service's id of the notice shown, 0 for none
};
