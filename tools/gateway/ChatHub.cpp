#include "ChatHub.h"

#include "Channel.h"
#include "EventLines.h"
#include "Participant.h"
#include "WireBytes.h"

namespace gateway {

namespace {

QString productName(const QString &product)
{
    static const QHash<QString, QString> names = {
        {QStringLiteral("[CHAT]"), QStringLiteral("a chat client")},
        {QStringLiteral("[STAR]"), QStringLiteral("Starcraft")},
        {QStringLiteral("[SEXP]"), QStringLiteral("Starcraft Brood War")},
        {QStringLiteral("[SSHR]"), QStringLiteral("Starcraft Shareware")},
        {QStringLiteral("[D2DV]"), QStringLiteral("Diablo II")},
        {QStringLiteral("[DRTL]"), QStringLiteral("Diablo")},
        {QStringLiteral("[DSHR]"), QStringLiteral("Diablo Shareware")},
        {QStringLiteral("[W2BN]"), QStringLiteral("Warcraft II")},
    };
    return names.value(product, product);
}

// The product as the friends list names it.
QString productTitle(const QString &product)
{
    static const QHash<QString, QString> titles = {
        {QStringLiteral("[CHAT]"), QStringLiteral("Chat")},
        {QStringLiteral("[STAR]"), QStringLiteral("Starcraft")},
        {QStringLiteral("[SEXP]"), QStringLiteral("Brood War")},
        {QStringLiteral("[SSHR]"), QStringLiteral("Starcraft (Shareware)")},
        {QStringLiteral("[D2DV]"), QStringLiteral("Diablo II")},
        {QStringLiteral("[DRTL]"), QStringLiteral("Diablo")},
        {QStringLiteral("[DSHR]"), QStringLiteral("Diablo (Shareware)")},
        {QStringLiteral("[W2BN]"), QStringLiteral("Warcraft II")},
    };
    return titles.value(product, QStringLiteral("Chat"));
}

const QString FriendsSeparator = QStringLiteral("=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=-=");

} // namespace

ChatHub::ChatHub(const QString &defaultChannel)
    : m_defaultChannel(trimmedBlanks(defaultChannel).isEmpty() ? QStringLiteral("Quillon")
                                                                : trimmedBlanks(defaultChannel))
{
}

ChatHub::~ChatHub() = default;

QString ChatHub::freeName(const QString &base) const
{
    if (!m_users.contains(base.toLower()))
        return base;
    for (int n = 2;; ++n) {
        const QString candidate = base + QLatin1Char('#') + QString::number(n);
        if (!m_users.contains(candidate.toLower()))
            return candidate;
    }
}

void ChatHub::logOn(Participant &p)
{
    p.setName(freeName(p.name()));
    m_users.insert(p.name().toLower(), &p);

    p.deliver(EventLines::name(p.name()));
    info(p, QStringLiteral("Welcome to Battle.net!"));
    info(p, QStringLiteral("This is quillon-gateway, a chat server on this machine for trying Quillon."));
    info(p, QStringLiteral("There are %1 users logged on. Type /help for the commands.").arg(userCount()));
    // Friends hear of the arrival before the channel sees the join.
    tellFriends(p, true);
    join(p, m_defaultChannel);
    if (!channelOf(p))
        moveToVoid(p);
}

void ChatHub::logOff(Participant &p)
{
    leaveChannel(p);
    if (m_users.value(p.name().toLower()) != &p)
        return;
    m_users.remove(p.name().toLower());
    tellFriends(p, false);
}

Participant *ChatHub::find(const QString &name) const
{
    return m_users.value(name.toLower(), nullptr);
}

QList<Participant *> ChatHub::membersOf(const QString &channel) const
{
    const auto it = m_channels.find(Channel::keyOf(channel));
    return it == m_channels.end() ? QList<Participant *>() : it->second->members();
}

QString ChatHub::channelName(const Participant &p) const
{
    const Channel *c = channelOf(p);
    return c ? c->name() : QString();
}

void ChatHub::talk(Participant &from, const QString &text)
{
    // Talk from outside any channel is dropped without a word, as servers do.
    const Channel *c = channelOf(from);
    if (!c)
        return;
    const QList<Participant *> members = c->members();
    for (Participant *m : members) {
        if (m != &from && !m->squelches(from.name()))
            m->deliver(EventLines::talk(from.name(), flagsSeenBy(*m, from), text));
    }
}

void ChatHub::emote(Participant &from, const QString &text)
{
    const Channel *c = channelOf(from);
    if (!c) {
        error(from, QStringLiteral("You are not in a channel."));
        return;
    }
    const QList<Participant *> members = c->members();
    for (Participant *m : members) {
        if (!m->squelches(from.name()))
            m->deliver(EventLines::emote(from.name(), flagsSeenBy(*m, from), text));
    }
}

void ChatHub::whisper(Participant &from, const QString &target, const QString &text)
{
    Participant *to = find(target);
    if (!to) {
        error(from, QStringLiteral("That user is not logged on."));
        return;
    }
    // A squelched sender is not told: the whisper just never arrives.
    if (!to->squelches(from.name()))
        to->deliver(EventLines::whisperFrom(from.name(), flagsSeenBy(*to, from), text));
    from.deliver(EventLines::whisperTo(to->name(), flagsSeenBy(from, *to), text));
}

void ChatHub::join(Participant &p, const QString &channel)
{
    const QString name = trimmedBlanks(channel);
    if (name.isEmpty()) {
        error(p, QStringLiteral("What channel do you want to join?"));
        return;
    }
    if (name.size() > MaxChannelLength) {
        error(p, QStringLiteral("That channel name is too long."));
        return;
    }
    Channel *current = channelOf(p);
    if (current && current->key() == Channel::keyOf(name)) {
        // Joining the channel one is in again just lists it anew.
        sendListing(p, *current);
        return;
    }
    auto it = m_channels.find(Channel::keyOf(name));
    if (it != m_channels.end() && it->second->isBanned(p.name())) {
        error(p, QStringLiteral("You are banned from that channel."));
        return;
    }
    leaveChannel(p);
    it = m_channels.find(Channel::keyOf(name));
    if (it == m_channels.end())
        it = m_channels.emplace(Channel::keyOf(name), std::make_unique<Channel>(name)).first;
    enterChannel(p, *it->second);
}

void ChatHub::whois(Participant &asker, const QString &target)
{
    const Participant *t = find(target);
    if (!t) {
        error(asker, QStringLiteral("That user is not logged on."));
        return;
    }
    const Channel *c = channelOf(*t);
    if (c)
        info(asker, QStringLiteral("%1 is using %2 in the channel %3.").arg(t->name(), productName(t->product()), c->name()));
    else
        info(asker, QStringLiteral("%1 is using %2.").arg(t->name(), productName(t->product())));
}

void ChatHub::squelch(Participant &p, const QString &target)
{
    const Participant *t = find(target);
    if (!t) {
        error(p, QStringLiteral("That user is not logged on."));
        return;
    }
    if (t == &p) {
        error(p, QStringLiteral("You can't squelch yourself."));
        return;
    }
    if (!p.squelch(t->name())) {
        error(p, QStringLiteral("Your squelch list is full."));
        return;
    }
    p.deliver(EventLines::flagsChanged(t->name(), flagsSeenBy(p, *t)));
}

void ChatHub::unsquelch(Participant &p, const QString &target)
{
    p.unsquelch(target);
    const Participant *t = find(target);
    if (!t) {
        error(p, QStringLiteral("That user is not logged on."));
        return;
    }
    p.deliver(EventLines::flagsChanged(t->name(), flagsSeenBy(p, *t)));
}

void ChatHub::kick(Participant &op, const QString &target, const QString &reason)
{
    Channel *c = operatorChannel(op);
    if (!c)
        return;
    Participant *t = find(target);
    if (!t || !c->contains(t)) {
        error(op, QStringLiteral("That user is not in this channel."));
        return;
    }
    if (t == &op) {
        error(op, QStringLiteral("You can't kick yourself."));
        return;
    }
    QString notice = QStringLiteral("%1 has been kicked by %2").arg(t->name(), op.name());
    notice += reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (%1).").arg(reason);
    tellAll(*c, EventLines::info(notice));
    // No new channel: the kicked user is in none until it joins one.
    leaveChannel(*t, true);
}

void ChatHub::ban(Participant &op, const QString &target, const QString &reason)
{
    Channel *c = operatorChannel(op);
    if (!c)
        return;
    if (target.isEmpty()) {
        error(op, QStringLiteral("Who do you want to ban?"));
        return;
    }
    Participant *t = find(target);
    const QString name = t ? t->name() : target;
    if (t == &op) {
        error(op, QStringLiteral("You can't ban yourself."));
        return;
    }
    if (!c->ban(name)) {
        error(op, QStringLiteral("The ban list of this channel is full."));
        return;
    }
    QString notice = QStringLiteral("%1 has been banned by %2").arg(name, op.name());
    notice += reason.isEmpty() ? QStringLiteral(".") : QStringLiteral(" (%1).").arg(reason);
    tellAll(*c, EventLines::info(notice));
    if (t && c->contains(t))
        moveToVoid(*t);
}

void ChatHub::unban(Participant &op, const QString &target)
{
    Channel *c = operatorChannel(op);
    if (!c)
        return;
    if (!c->unban(target)) {
        error(op, QStringLiteral("That user is not banned."));
        return;
    }
    tellAll(*c, EventLines::info(QStringLiteral("%1 was unbanned by %2.").arg(target, op.name())));
}

void ChatHub::announce(Participant &admin, const QString &text)
{
    if (!(admin.flags() & UserFlags::Admin)) {
        error(admin, QStringLiteral("This command is reserved for admins."));
        return;
    }
    if (text.isEmpty()) {
        error(admin, QStringLiteral("What do you want to announce?"));
        return;
    }
    const QString line = EventLines::broadcast(QStringLiteral("Announcement from %1: %2").arg(admin.name(), text));
    const QList<Participant *> users = m_users.values();
    for (Participant *u : users)
        u->deliver(line);
}

void ChatHub::setFlags(Participant &p, int flags)
{
    p.setFlags(flags);
    const Channel *c = channelOf(p);
    if (!c)
        return;
    const QList<Participant *> members = c->members();
    for (Participant *m : members)
        m->deliver(EventLines::flagsChanged(p.name(), flagsSeenBy(*m, p)));
}

void ChatHub::addFriend(Participant &p, const QString &name)
{
    const Participant *online = find(name);
    const bool known = online || m_friends.isSimulated(name);
    if (name.size() > MaxNameLength || name.contains(QLatin1Char('"'))
        || (!known && m_accountExists && !m_accountExists(name))) {
        info(p, QStringLiteral("That user does not exist."));
        return;
    }
    // Kept as the user is called when online, else as typed.
    switch (m_friends.add(p.name(), online ? online->name() : name)) {
    case FriendBook::Change::Self:
        info(p, QStringLiteral("You can't add yourself to your friends list."));
        return;
    case FriendBook::Change::Full:
        info(p, QStringLiteral("You can only have a maximum of %1 friends.").arg(FriendBook::MaxFriends));
        return;
    case FriendBook::Change::Already:
        info(p, QStringLiteral("%1 is already on your friends list!").arg(name));
        return;
    case FriendBook::Change::Ok:
        break;
    default:
        error(p, QStringLiteral("Server error."));
        return;
    }
    info(p, QStringLiteral("Added %1 to your friends list.").arg(name));
    if (Participant *f = find(name))
        info(*f, QStringLiteral("%1 added you to his/her friends list.").arg(p.name()));
}

void ChatHub::removeFriend(Participant &p, const QString &name)
{
    switch (m_friends.remove(p.name(), name)) {
    case FriendBook::Change::Ok:
        info(p, QStringLiteral("Removed %1 from your friends list.").arg(name));
        break;
    case FriendBook::Change::NotFound:
        info(p, QStringLiteral("%1 was not found on your friends list.").arg(name));
        break;
    default:
        error(p, QStringLiteral("Server error."));
        break;
    }
}

void ChatHub::listFriends(Participant &p)
{
    // 1018 INFO "1: *alice, in channel "Chat",,  using Chat"
    // 1018 INFO "2:  carol, offline,  using Chat"
    // "*" marks a friend who has p on the list too; only such a friend's channel is named.
    info(p, QStringLiteral("Your %1 - Friends List").arg(RealmName));
    info(p, FriendsSeparator);
    const QStringList names = m_friends.of(p.name());
    for (qsizetype i = 0; i < names.size(); ++i) {
        const bool mutual = m_friends.isMutual(p.name(), names[i]);
        const Participant *f = find(names[i]);
        const Channel *c = f ? channelOf(*f) : nullptr;
        QString status = QStringLiteral(", offline");
        if (f && c)
            status = mutual ? QStringLiteral(", in channel \"%1\",").arg(c->name()) : QStringLiteral(", is in a chat channel");
        else if (f)
            status = QStringLiteral(", is in AT Preparation");
        const QString product = f ? f->product() : m_friends.offlineProduct(names[i]);
        info(p, QStringLiteral("%1: %2%3%4,  using %5")
                    .arg(QString::number(i + 1), mutual ? QStringLiteral("*") : QStringLiteral(" "),
                         f ? f->name() : names[i], status, productTitle(product)));
    }
    info(p, FriendsSeparator);
    info(p, QStringLiteral("End of Friends List"));
}

void ChatHub::info(Participant &p, const QString &text)
{
    p.deliver(EventLines::info(text));
}

void ChatHub::error(Participant &p, const QString &text)
{
    p.deliver(EventLines::error(text));
}

Channel *ChatHub::channelOf(const Participant &p) const
{
    if (p.channelKey().isEmpty())
        return nullptr;
    const auto it = m_channels.find(p.channelKey());
    return it == m_channels.end() ? nullptr : it->second.get();
}

Channel *ChatHub::operatorChannel(Participant &op)
{
    Channel *c = channelOf(op);
    if (!c || !(op.flags() & UserFlags::Operator)) {
        error(op, QStringLiteral("You are not a channel operator."));
        return nullptr;
    }
    return c;
}

void ChatHub::enterChannel(Participant &p, Channel &channel)
{
    // The first one in a channel runs it.
    int flags = p.flags() & ~UserFlags::Operator;
    if (channel.isEmpty())
        flags |= UserFlags::Operator;
    p.setFlags(flags);
    const QList<Participant *> others = channel.members();
    channel.add(&p);
    p.setChannelKey(channel.key());
    sendListing(p, channel);
    for (Participant *m : others)
        m->deliver(EventLines::join(p.name(), flagsSeenBy(*m, p), p.product()));
}

void ChatHub::sendListing(Participant &p, const Channel &channel) const
{
    p.deliver(EventLines::channel(channel.name()));
    for (const Participant *m : channel.members())
        p.deliver(EventLines::user(m->name(), flagsSeenBy(p, *m), m->product()));
}

void ChatHub::leaveChannel(Participant &p, bool tellSelf)
{
    Channel *c = channelOf(p);
    p.setChannelKey(QString());
    if (!c)
        return;
    const bool wasOperator = p.flags() & UserFlags::Operator;
    c->remove(&p);
    const QList<Participant *> members = c->members();
    for (Participant *m : members)
        m->deliver(EventLines::leave(p.name(), flagsSeenBy(*m, p)));
    if (tellSelf)
        p.deliver(EventLines::leave(p.name(), p.flags()));
    p.setFlags(p.flags() & ~UserFlags::Operator);
    if (c->isEmpty()) {
        m_channels.erase(c->key());
        return;
    }
    // A channel is never left without an operator: the longest present takes over.
    if (wasOperator) {
        Participant *next = members.first();
        if (!(next->flags() & UserFlags::Operator))
            setFlags(*next, next->flags() | UserFlags::Operator);
    }
}

void ChatHub::moveToVoid(Participant &p)
{
    leaveChannel(p);
    auto it = m_channels.find(Channel::keyOf(VoidChannel));
    if (it == m_channels.end())
        it = m_channels.emplace(Channel::keyOf(VoidChannel), std::make_unique<Channel>(VoidChannel)).first;
    enterChannel(p, *it->second);
}

int ChatHub::flagsSeenBy(const Participant &viewer, const Participant &subject)
{
    return subject.flags() | (viewer.squelches(subject.name()) ? UserFlags::Squelched : 0);
}

void ChatHub::tellFriends(const Participant &p, bool entered)
{
    // An arrival is a whisper from the friend, a departure a plain line without event code:
    // 1004 WHISPER alice 0010 "Your friend alice has entered PvPGN Realm."
    // Your friend alice has left PvPGN Realm.
    const QList<Participant *> users = m_users.values();
    for (Participant *u : users) {
        if (u == &p || !m_friends.has(u->name(), p.name()))
            continue;
        if (entered)
            u->deliver(EventLines::whisperFrom(p.name(), flagsSeenBy(*u, p),
                                               QStringLiteral("Your friend %1 has entered %2.").arg(p.name(), RealmName)));
        else
            u->deliver(QStringLiteral("Your friend %1 has left %2.").arg(p.name(), RealmName));
    }
}

void ChatHub::tellAll(const Channel &channel, const QString &line)
{
    const QList<Participant *> members = channel.members();
    for (Participant *m : members)
        m->deliver(line);
}

} // namespace gateway
