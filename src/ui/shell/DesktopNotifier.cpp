#include "DesktopNotifier.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QGuiApplication>
#include <QSystemTrayIcon>
#include <QVariantMap>
#include <QWidget>

namespace {

constexpr int ShowMs = 8000;
const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");
const QString Interface = QStringLiteral("org.freedesktop.Notifications");
// A look-up on a bus that does not answer must not hold the window up.
constexpr int BusTimeoutMs = 1500;

} // namespace

DesktopNotifier::DesktopNotifier(QWidget *window)
    : QObject(window)
    , m_window(window)
{
}

// Registered now, or started by the bus on the first call.
bool DesktopNotifier::serviceOnSessionBus()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface())
        return false;
    QDBusMessage ask = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                      QStringLiteral("/org/freedesktop/DBus"),
                                                      QStringLiteral("org.freedesktop.DBus"),
                                                      QStringLiteral("NameHasOwner"));
    ask << Service;
    const QDBusMessage owner = bus.call(ask, QDBus::Block, BusTimeoutMs);
    if (owner.type() == QDBusMessage::ReplyMessage && owner.arguments().value(0).toBool())
        return true;
    ask = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
                                         QStringLiteral("org.freedesktop.DBus"),
                                         QStringLiteral("ListActivatableNames"));
    const QDBusMessage names = bus.call(ask, QDBus::Block, BusTimeoutMs);
    return names.type() == QDBusMessage::ReplyMessage && names.arguments().value(0).toStringList().contains(Service);
}

DesktopNotifier::Channel DesktopNotifier::channel()
{
    if (!m_probed) {
        m_probed = true;
        if (serviceOnSessionBus()) {
            m_channel = Channel::Service;
            QDBusConnection::sessionBus().connect(Service, Path, Interface, QStringLiteral("ActionInvoked"), this,
                                                  SLOT(actionInvoked(uint, QString)));
        } else if (QSystemTrayIcon::isSystemTrayAvailable()) {
            m_channel = Channel::Tray;
        }
    }
    return m_channel;
}

QString DesktopNotifier::availability()
{
    if (channel() != Channel::None)
        return {};
    return tr("This desktop has neither a notification service nor a system tray.");
}

void DesktopNotifier::notify(const Attention::Notice &notice)
{
    switch (channel()) {
    case Channel::Service:
        notifyService(notice);
        break;
    case Channel::Tray:
        notifyTray(notice);
        break;
    case Channel::None:
        break;
    }
}

// Notify(app_name, replaces_id, app_icon, summary, body, actions, hints,
// expire_timeout) -> id. The "default" action is a click on the notice.
void DesktopNotifier::notifyService(const Attention::Notice &notice)
{
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface, QStringLiteral("Notify"));
    QVariantMap hints;
    hints.insert(QStringLiteral("desktop-entry"), QGuiApplication::desktopFileName());
    call << QGuiApplication::applicationDisplayName() << m_noticeId << QStringLiteral("org.ashgrove.Quillon")
         << notice.title << notice.body << QStringList{QStringLiteral("default"), tr("Show")} << hints << ShowMs;
    auto *watcher = new QDBusPendingCallWatcher(QDBusConnection::sessionBus().asyncCall(call, BusTimeoutMs), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *done) {
        const QDBusPendingReply<uint> reply = *done;
        if (reply.isValid())
            m_noticeId = reply.value();
        done->deleteLater();
    });
}

void DesktopNotifier::notifyTray(const Attention::Notice &notice)
{
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
    if (m_noticeId != 0) {
        // CloseNotification(id)
        QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Interface,
                                                           QStringLiteral("CloseNotification"));
        call << std::exchange(m_noticeId, 0u);
        QDBusConnection::sessionBus().send(call);
    }
}

void DesktopNotifier::actionInvoked(uint id, const QString &action)
{
    if (id != 0 && id == m_noticeId && action == QLatin1String("default"))
        bringUpWindow();
}

void DesktopNotifier::bringUpWindow()
{
    m_window->showNormal();
    m_window->raise();
    m_window->activateWindow();
}
