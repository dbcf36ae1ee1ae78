#pragma once
// Who is logged on, which channels exist, and where each event line goes.
// Both socket clients and the demo crowd act through these operations.
// Delivering a line never calls back into the hub, so the member lists stay
// stable while a line is being routed.

#include "FriendBook.h"

#include <QHash>
#include <QList>
#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace gateway {

class Channel;
class Participant;

class ChatHub
{
public:
    // Where banned users end up; kicked ones are in no channel.
    static inline const QString VoidChannel = QStringLiteral("The Void");
    static constexpr int MaxNameLength = 32;
    static constexpr int MaxChannelLength = 64;
    // The server name in the friends list's header and friends' notices.
    static inline const QString RealmName = QStringLiteral("PvPGN Realm");

    explicit ChatHub(const QString &defaultChannel);
    ~ChatHub();
    ChatHub(const ChatHub &) = delete;
    ChatHub &operator=(const ChatHub &) = delete;

    QString defaultChannel() const { return m_defaultChannel; }

    // A name nobody uses: base itself, or base#2, base#3 ...
    QString freeName(const QString &base) const;

    // Registers p under a free name made from its current one, sends the
    // welcome and puts it into the default channel.
    void logOn(Participant &p);
    // Takes p out of its channel and forgets it.
    void logOff(Participant &p);

    Participant *find(const QString &name) const;
    int userCount() const { return int(m_users.size()); }
    // Members of a channel in the order they came in; empty when it does not exist.
    QList<Participant *> membersOf(const QString &channel) const;
    // The name of p's channel as it is shown, empty while in none.
    QString channelName(const Participant &p) const;

    void talk(Participant &from, const QString &text);
    void emote(Participant &from, const QString &text);
    void whisper(Participant &from, const QString &target, const QString &text);
    void join(Participant &p, const QString &channel);
    void whois(Participant &asker, const QString &target);
    void squelch(Participant &p, const QString &target);
    void unsquelch(Participant &p, const QString &target);
    void kick(Participant &op, const QString &target, const QString &reason);
    void ban(Participant &op, const QString &target, const QString &reason);
    void unban(Participant &op, const QString &target);
    // An administrator's announcement to everybody logged on.
    void announce(Participant &admin, const QString &text);
    // Sets p's flags in its channel and tells every member.
    void setFlags(Participant &p, int flags);

    // The friends commands, answered in the server's words.
    void addFriend(Participant &p, const QString &name);
    void removeFriend(Participant &p, const QString &name);
    void listFriends(Participant &p);
    FriendBook &friendBook() { return m_friends; }
    // Whether an offline name is an account; without it every name is one.
    void setAccountCheck(std::function<bool(const QString &)> exists) { m_accountExists = std::move(exists); }

    static void info(Participant &p, const QString &text);
    static void error(Participant &p, const QString &text);

private:
    Channel *channelOf(const Participant &p) const;
    Channel *operatorChannel(Participant &op);
    void enterChannel(Participant &p, Channel &channel);
    void sendListing(Participant &p, const Channel &channel) const;
    // tellSelf: p gets its own LEAVE too, as a kicked user does.
    void leaveChannel(Participant &p, bool tellSelf = false);
    void moveToVoid(Participant &p);
    static int flagsSeenBy(const Participant &viewer, const Participant &subject);
    static void tellAll(const Channel &channel, const QString &line);
    // Tells everybody who has p on the friends list that p came or went.
    void tellFriends(const Participant &p, bool entered);

    QString m_defaultChannel;
    QHash<QString, Participant *> m_users;                 // key: name in lower case
    std::map<QString, std::unique_ptr<Channel>> m_channels;  // key: name in lower case
    FriendBook m_friends;
    std::function<bool(const QString &)> m_accountExists;
};

} // namespace gateway
