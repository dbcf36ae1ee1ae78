#include "FriendBook.h"

namespace gateway {

QStringList FriendBook::of(const QString &user) const
{
    const auto it = m_lists.constFind(user.toLower());
    if (it != m_lists.constEnd())
        return *it;
    return isSimulated(user) ? QStringList() : m_defaults;
}

bool FriendBook::has(const QString &user, const QString &name) const
{
    return indexOf(of(user), name) >= 0;
}

bool FriendBook::isMutual(const QString &user, const QString &name) const
{
    return isSimulated(name) || has(name, user);
}

FriendBook::Change FriendBook::add(const QString &user, const QString &name)
{
    if (user.compare(name, Qt::CaseInsensitive) == 0)
        return Change::Self;
    QStringList list = of(user);
    if (indexOf(list, name) >= 0)
        return Change::Already;
    if (list.size() >= MaxFriends)
        return Change::Full;
    if (!roomFor(user))
        return Change::NoRoom;
    list.append(name);
    m_lists.insert(user.toLower(), list);
    return Change::Ok;
}

FriendBook::Change FriendBook::remove(const QString &user, const QString &name)
{
    QStringList list = of(user);
    const qsizetype at = indexOf(list, name);
    if (at < 0)
        return Change::NotFound;
    if (!roomFor(user))
        return Change::NoRoom;
    list.removeAt(at);
    m_lists.insert(user.toLower(), list);
    return Change::Ok;
}

void FriendBook::addSimulated(const QString &name, const QString &product)
{
    m_simulated.insert(name.toLower(), product);
}

QString FriendBook::offlineProduct(const QString &name) const
{
    return m_simulated.value(name.toLower(), QStringLiteral("[CHAT]"));
}

qsizetype FriendBook::indexOf(const QStringList &list, const QString &name)
{
    for (qsizetype i = 0; i < list.size(); ++i) {
        if (list[i].compare(name, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool FriendBook::roomFor(const QString &user) const
{
    // A list changed for the first time is stored anew.
    return m_lists.contains(user.toLower()) || m_lists.size() < MaxLists;
}

} // namespace gateway
