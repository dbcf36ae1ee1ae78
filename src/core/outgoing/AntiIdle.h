#pragma once
// Anti-idle: the idle message goes out every two minutes in two stages of
// one minute each. `tmr1` waits out the first stage; `tmr2` sends, and while
// sending is refused it stays armed and tries again a minute later. The
// user's own typing never moves the rhythm.

#include <QObject>
#include <QTimer>

class ChatSession;

class AntiIdle : public QObject
{
    Q_OBJECT
public:
    static constexpr int StageMs = 60000;

    enum class Stage { Off, First, Second };

    explicit AntiIdle(ChatSession &session, QObject *parent = nullptr);

    Stage stage() const;

public slots:
    // Starts the first stage with a fresh count, from any state.
    void InitAI();
    // Both stages off (the anti-idle switch was cleared).
    void stop();

    // The timers' ticks, public so that tests need not wait for them.
    void tick1();
    void tick2();

private:
    ChatSession &m_session;
    QTimer tmr1;
    QTimer tmr2;
};
