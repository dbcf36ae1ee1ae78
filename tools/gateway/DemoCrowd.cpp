#include "DemoCrowd.h"

#include "ChatHub.h"
#include "Participant.h"
#include "WireBytes.h"

#include <QRandomGenerator>

namespace gateway {

class DemoUser : public Participant
{
public:
    DemoUser(DemoCrowd &crowd, const QString &base, const QString &product, bool regular)
        : m_crowd(crowd), m_base(base), m_regular(regular)
    {
        setName(base);
        setProduct(product);
    }

    void deliver(const QString &line) override { m_crowd.observe(*this, line); }
    bool isSimulated() const override { return true; }

    QString base() const { return m_base; }
    bool isRegular() const { return m_regular; }

private:
    DemoCrowd &m_crowd;
    QString m_base;   // the name before any "#2" suffix
    bool m_regular;   // stays in the channel for good
};

namespace {

const QString Host = QStringLiteral("Mira");

QString eventName(const QString &line)
{
    return line.section(QLatin1Char(' '), 2, 2);
}

} // namespace

DemoCrowd::DemoCrowd(ChatHub &hub, int paceMs, QObject *parent)
    : QObject(parent), m_hub(hub), m_paceMs(qMax(1, paceMs))
{
    m_users.push_back(std::make_unique<DemoUser>(*this, Host, QStringLiteral("[SEXP]"), true));
    m_users.push_back(std::make_unique<DemoUser>(*this, QStringLiteral("Tobin"), QStringLiteral("[STAR]"), true));
    m_users.push_back(std::make_unique<DemoUser>(*this, QStringLiteral("Ashe"), QStringLiteral("[D2DV]"), false));
    m_users.push_back(std::make_unique<DemoUser>(*this, QStringLiteral("Rook"), QStringLiteral("[W2BN]"), false));
    buildScript();

    m_stepTimer.setSingleShot(true);
    connect(&m_stepTimer, &QTimer::timeout, this, &DemoCrowd::step);
    m_reactionTimer.setSingleShot(true);
    connect(&m_reactionTimer, &QTimer::timeout, this, &DemoCrowd::runReaction);
}

DemoCrowd::~DemoCrowd()
{
    m_stepTimer.stop();
    m_reactionTimer.stop();
    for (const auto &u : m_users) {
        if (m_hub.find(u->name()) == u.get())
            m_hub.logOff(*u);
    }
}

void DemoCrowd::start()
{
    // A guest's friends list starts with Mira, online, and Ashe, who comes and goes;
    // both have the guest on theirs too.
    for (const auto &u : m_users)
        m_hub.friendBook().addSimulated(u->base(), u->product());
    m_hub.friendBook().setDefaults({Host, QStringLiteral("Ashe")});
    for (const auto &u : m_users) {
        if (u->isRegular())
            ensurePresent(*u);
    }
    armStepTimer();
}

QString DemoCrowd::hexLine(const QString &text)
{
    return QChar(0xA3) + QString::fromLatin1(text.toUtf8().toHex().toUpper());
}

void DemoCrowd::buildScript()
{
    m_script = {
        [this] { talk(QStringLiteral("Tobin"), QStringLiteral("Anyone around? Quiet evening on the gateway.")); },
        [this] { enter(QStringLiteral("Ashe")); },
        [this] { talk(QStringLiteral("Ashe"), QStringLiteral("Hi all! Just back from a run through the Chaos Sanctuary.")); },
        [this] { emote(Host, QStringLiteral("waves at Ashe.")); },
        [this] {
            whisperGuests(Host, QStringLiteral("Welcome, %1! We are simulated users. Try /hex hello, "
                                               "/whois Tobin or a right click on a name."));
        },
        [this] { talk(QStringLiteral("Tobin"), hexLine(QStringLiteral("good luck, have fun"))); },
        // UTF-8, as today's game clients send it; the gateway passes the bytes on.
        [this] { talk(QStringLiteral("Tobin"), fromUnicode(QStringLiteral("Greetings in four scripts: café, привет, καλημέρα, 你好!"))); },
        [this] { talk(Host, QStringLiteral("Ashe, mind the channel for a while? I'll be right back.")); },
        [this] {
            if (DemoUser *ashe = user(QStringLiteral("Ashe")); ashe && present(*ashe))
                m_hub.setFlags(*ashe, UserFlags::Plain | UserFlags::Operator);
        },
        [this] { enter(QStringLiteral("Rook")); },
        [this] { talk(QStringLiteral("Rook"), QStringLiteral("Evening. Anyone up for a 2v2 later?")); },
        [this] { whisperGuests(QStringLiteral("Tobin"), QStringLiteral("psst, %1: /squelch Tobin if I talk too much.")); },
        [this] {
            emote(QStringLiteral("Ashe"), QStringLiteral("hands the channel back to Mira."));
            if (DemoUser *ashe = user(QStringLiteral("Ashe")); ashe && present(*ashe))
                m_hub.setFlags(*ashe, UserFlags::Plain);
        },
        [this] { leave(QStringLiteral("Ashe")); },
        [this] { talk(QStringLiteral("Rook"), hexLine(QStringLiteral("see you later"))); },
        [this] { leave(QStringLiteral("Rook")); },
        [this] { emote(QStringLiteral("Tobin"), QStringLiteral("stretches and yawns.")); },
    };
}

void DemoCrowd::step()
{
    // Regulars come back if somebody moved them away.
    for (const auto &u : m_users) {
        if (u->isRegular())
            ensurePresent(*u);
    }
    m_script[m_next]();
    m_next = (m_next + 1) % m_script.size();
    ++m_stepsTaken;
    armStepTimer();
}

void DemoCrowd::armStepTimer()
{
    // Between 0.6 and 1.4 times the pace, so it does not tick like a clock.
    const int spread = qMax(1, m_paceMs * 4 / 5);
    m_stepTimer.start(m_paceMs * 3 / 5 + int(QRandomGenerator::global()->bounded(spread)));
}

void DemoCrowd::observe(DemoUser &user, const QString &line)
{
    // Never act inside the hub's routing: answers wait for their timer.
    if (line.startsWith(QLatin1String("1004 WHISPER "))) {
        const QString from = eventName(line);
        const QString self = user.base();
        react([this, from, self] {
            DemoUser *me = this->user(self);
            const Participant *sender = m_hub.find(from);
            if (me && sender && !sender->isSimulated() && m_hub.find(me->name()) == me)
                m_hub.whisper(*me, from, QStringLiteral("Thanks for the whisper, %1! I'm one of the simulated users "
                                                         "of the demo.").arg(from));
        });
    } else if (line.startsWith(QLatin1String("1002 JOIN ")) && user.base() == Host) {
        const QString who = eventName(line);
        react([this, who] {
            const Participant *guest = m_hub.find(who);
            if (guest && !guest->isSimulated())
                talk(Host, QStringLiteral("Hello %1, welcome to %2!").arg(who, m_hub.defaultChannel()));
        });
    }
}

void DemoCrowd::react(std::function<void()> action)
{
    if (m_reactions.size() >= MaxPendingReactions)
        return;
    m_reactions.append(std::move(action));
    if (!m_reactionTimer.isActive())
        m_reactionTimer.start(qMax(1, m_paceMs / 2));
}

void DemoCrowd::runReaction()
{
    if (m_reactions.isEmpty())
        return;
    const std::function<void()> action = m_reactions.takeFirst();
    action();
    if (!m_reactions.isEmpty())
        m_reactionTimer.start(qMax(1, m_paceMs / 2));
}

DemoUser *DemoCrowd::user(const QString &base) const
{
    for (const auto &u : m_users) {
        if (u->base() == base)
            return u.get();
    }
    return nullptr;
}

bool DemoCrowd::present(const DemoUser &u) const
{
    return m_hub.find(u.name()) == &u
           && m_hub.channelName(u).compare(m_hub.defaultChannel(), Qt::CaseInsensitive) == 0;
}

void DemoCrowd::ensurePresent(DemoUser &u)
{
    if (m_hub.find(u.name()) != &u) {
        u.setName(u.base());
        m_hub.logOn(u);
    } else if (!present(u)) {
        m_hub.join(u, m_hub.defaultChannel());
    }
}

void DemoCrowd::talk(const QString &who, const QString &text)
{
    if (DemoUser *u = user(who); u && present(*u))
        m_hub.talk(*u, text);
}

void DemoCrowd::emote(const QString &who, const QString &text)
{
    if (DemoUser *u = user(who); u && present(*u))
        m_hub.emote(*u, text);
}

void DemoCrowd::enter(const QString &who)
{
    if (DemoUser *u = user(who))
        ensurePresent(*u);
}

void DemoCrowd::leave(const QString &who)
{
    DemoUser *u = user(who);
    if (u && m_hub.find(u->name()) == u)
        m_hub.logOff(*u);
}

void DemoCrowd::whisperGuests(const QString &who, const QString &text)
{
    DemoUser *u = user(who);
    if (!u || !present(*u))
        return;
    const QList<Participant *> members = m_hub.membersOf(m_hub.defaultChannel());
    for (Participant *m : members) {
        if (!m->isSimulated())
            m_hub.whisper(*u, m->name(), text.arg(m->name()));
    }
}

} // namespace gateway
