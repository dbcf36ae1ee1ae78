#pragma once
// Every user's friends list, by user name, kept for as long as the gateway
// runs: the names in the order they were added, as today's servers list
// them. In demo mode a user who never changed the list starts with the
// demo's defaults, and the simulated users return everybody's friendship.
// Bounded: 20 friends a list, as the server's default, and a cap on lists.

#include <QHash>
#include <QString>
#include <QStringList>

namespace gateway {

class FriendBook
{
public:
    static constexpr int MaxFriends = 20;
    static constexpr int MaxLists = 4096;

    enum class Change { Ok, Self, Full, Already, NotFound, NoRoom };

    // The list of user; the defaults while user never changed it.
    QStringList of(const QString &user) const;
    bool has(const QString &user, const QString &name) const;
    // A friend is mutual when it has user on its own list too.
    bool isMutual(const QString &user, const QString &name) const;

    // name is kept as given: the caller passes the spelling to show.
    // Ok, Self, Already, Full or NoRoom (no room for another list).
    Change add(const QString &user, const QString &name);
    // Ok, NotFound or NoRoom.
    Change remove(const QString &user, const QString &name);

    void setDefaults(const QStringList &names) { m_defaults = names; }
    // A simulated user: it counts every list that holds it as mutual, has
    // no list of its own and shows its product while offline.
    void addSimulated(const QString &name, const QString &product);
    bool isSimulated(const QString &name) const { return m_simulated.contains(name.toLower()); }
    // The product shown for name while offline: a simulated user's, else a chat client's.
    QString offlineProduct(const QString &name) const;

private:
    static qsizetype indexOf(const QStringList &list, const QString &name);
    bool roomFor(const QString &user) const;

    QHash<QString, QStringList> m_lists;  // key: user name in lower case
    QStringList m_defaults;
    QHash<QString, QString> m_simulated;  // lower-case name -> product
};

} // namespace gateway
