#pragma once
// One channel: its members in the order they came in, and its ban list.
// The first member is the operator; members own nothing here.

#include <QList>
#include <QSet>
#include <QString>

namespace gateway {

class Participant;

class Channel
{
public:
    // Bounds the ban list so that an operator cannot grow it without end.
    static constexpr int MaxBans = 256;

    explicit Channel(const QString &name) : m_name(name) {}

    QString name() const { return m_name; }
    QString key() const { return m_name.toLower(); }
    static QString keyOf(const QString &name) { return name.toLower(); }

    const QList<Participant *> &members() const { return m_members; }
    bool contains(const Participant *p) const { return m_members.contains(p); }
    bool isEmpty() const { return m_members.isEmpty(); }
    void add(Participant *p) { m_members.append(p); }
    void remove(Participant *p) { m_members.removeAll(p); }

    bool isBanned(const QString &name) const { return m_banned.contains(name.toLower()); }
    bool ban(const QString &name);
    bool unban(const QString &name) { return m_banned.remove(name.toLower()); }

private:
    QString m_name;
    QList<Participant *> m_members;
    QSet<QString> m_banned;
};

} // namespace gateway
