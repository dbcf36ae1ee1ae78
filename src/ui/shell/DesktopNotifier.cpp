#include "DesktopNotifier.h"

#include <QSystemTrayIcon>
#include <QWidget>

namespace {
constexpr int ShowMs = 8000;
}

DesktopNotifier::DesktopNotifier(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

void DesktopNotifier::notify(const Attention::Notice &notice)
{
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        return;
    if (!m_tray) {
        m_tray = new QSystemTrayIcon(m_window->windowIcon(), this);
        connect(m_tray, &QSystemTrayIcon::activated, this, &DesktopNotifier::bringUpWindow);
        connect(m_tray, &QSystemTrayIcon::messageClicked, this, &DesktopNotifier::bringUpWindow);
    }
    m_tray->setToolTip(m_window->windowTitle());
    m_tray->show();
    m_tray->showMessage(notice.title, notice.body, QSystemTrayIcon::Information, ShowMs);
}

void DesktopNotifier::withdraw()
{
    if (m_tray)
        m_tray->hide();
}

void DesktopNotifier::bringUpWindow()
{
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}
