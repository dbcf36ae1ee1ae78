#include "ChatSettings.h"

#include "ServerList.h"

#include <algorithm>

namespace {

constexpr QString ChatSettings::*Members[ChatSettings::Count] = {
    &ChatSettings::UserName, &ChatSettings::PassWord, &ChatSettings::Server,
    &ChatSettings::HomeChan, &ChatSettings::AntiIdle, &ChatSettings::JoinLeave,
    &ChatSettings::AutoReconnect, &ChatSettings::IdleMessage, &ChatSettings::ScrollbackLines,
    &ChatSettings::ContinuousLog, &ChatSettings::Notifications,
};

constexpr const char *Names[ChatSettings::Count] = {
    "UserName", "PassWord", "Server", "HomeChan",
    "AntiIdle", "JoinLeave", "AutoReconnect", "IdleMessage",
    "ScrollbackLines", "ContinuousLog", "Notifications",
};

} // namespace

QString ChatSettings::valueName(int index)
{
    return QString::fromLatin1(Names[index]);
}

QString &ChatSettings::value(int index)
{
    return this->*Members[index];
}

const QString &ChatSettings::value(int index) const
{
    return this->*Members[index];
}

ChatSettings ChatSettings::defaults()
{
    ChatSettings d;
    d.UserName = QStringLiteral("Anonymous");
    d.PassWord = QStringLiteral("Wanderers");
    d.Server = ServerList::defaultServer();
    d.HomeChan = QStringLiteral("Bounty Hunters");
    d.AntiIdle = QStringLiteral("1");
    d.JoinLeave = QStringLiteral("1");
    d.AutoReconnect = QStringLiteral("1");
    d.IdleMessage = QStringLiteral("/w anonymous Anti-Idle Quillon 2.2");
    d.ScrollbackLines = QString::number(DefaultScrollback);
    d.ContinuousLog = QStringLiteral("1");
    d.Notifications = QStringLiteral("1");
    return d;
}

bool ChatSettings::flagOn(const QString &text)
{
    bool number = false;
    const qlonglong value = text.trimmed().toLongLong(&number);
    return number && value != 0;
}

int ChatSettings::scrollbackLines(const QString &text)
{
    bool number = false;
    const qlonglong lines = text.trimmed().toLongLong(&number);
    if (!number)
        return DefaultScrollback;
    return int(std::clamp<qlonglong>(lines, MinScrollback, MaxScrollback));
}
