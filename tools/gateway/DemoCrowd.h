#pragma once
// Simulated users for demo mode, so that a newcomer sees a living channel:
// they join, talk, emote, whisper the real users, send a "£" hex line,
// change flags and leave, one event every few seconds, round and round.
// They live in-process and act through the hub like any client.

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>
#include <vector>

namespace gateway {

class ChatHub;
class DemoUser;

class DemoCrowd : public QObject
{
    Q_OBJECT
public:
    // Bounds the answers waiting to be given, whatever the real users do.
    static constexpr int MaxPendingReactions = 8;

    // paceMs: mean time between two events.
    DemoCrowd(ChatHub &hub, int paceMs, QObject *parent = nullptr);
    ~DemoCrowd() override;

    // Logs the regulars on and starts the round.
    void start();
    int stepsTaken() const { return m_stepsTaken; }
    int scriptLength() const { return int(m_script.size()); }

    // The marker "£" (the byte A3) and two upper-case hex digits per byte of
    // the text in UTF-8.
    static QString hexLine(const QString &text);

    // A simulated user saw a line; called by the DemoUser objects.
    void observe(DemoUser &user, const QString &line);

private:
    void buildScript();
    void step();
    void armStepTimer();
    void react(std::function<void()> action);
    void runReaction();

    DemoUser *user(const QString &base) const;
    bool present(const DemoUser &u) const;
    void ensurePresent(DemoUser &u);
    void talk(const QString &who, const QString &text);
    void emote(const QString &who, const QString &text);
    void enter(const QString &who);
    void leave(const QString &who);
    void whisperGuests(const QString &who, const QString &text);

    ChatHub &m_hub;
    int m_paceMs;
    std::vector<std::unique_ptr<DemoUser>> m_users;
    std::vector<std::function<void()>> m_script;
    size_t m_next = 0;
    int m_stepsTaken = 0;
    QTimer m_stepTimer;
    QTimer m_reactionTimer;
    QList<std::function<void()>> m_reactions;
};

} // namespace gateway
