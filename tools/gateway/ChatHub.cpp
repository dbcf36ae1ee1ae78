#include "ChatHub.h"

#include "Channel.h"
#include "EventLines.h"
#include "Participant.h"

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

} // namespace

ChatHub::ChatHub(const QString &defaultChannel)
    : m_defaultChannel(defaultChannel.trimmed().isEmpty() ? QStringLiteral("Quillon")
                                                           : defaultChannel.trimmed())
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
    join(p, m_defaultChannel);
    if (!channelOf(p))
        moveToVoid(p);
}

void ChatHub::logOff(Participant &p)
{
    leaveChannel(p);
    if (m_users.value(p.name().toLower()) == &p)
        m_users.remove(p.name().toLower());
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
    const QString name = channel.trimmed();
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

void ChatHub::tellAll(const Channel &channel, const QString &line)
{
    const QList<Participant *> members = channel.members();
    for (Participant *m : members)
        m->deliver(line);
}
