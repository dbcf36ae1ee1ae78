// The anti-idle timeline: first stage, sending stage, retry after a refused
// send, restart and stop. Ticks are driven directly; one case lets short
// real timers run the whole cycle.

#include "LoggedOnSession.h"
#include "outgoing/AntiIdle.h"

class TestAntiIdle : public QObject
{
    Q_OBJECT
private slots:
    void stagesAlternate();
    void chatMessageIsEchoed();
    void refusedSendRetriesInSecondStage();
    void initRestartsAndStopEnds();
    void realTimersRunTheCycle();
};

using Stage = AntiIdle::Stage;

void TestAntiIdle::stagesAlternate()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    AntiIdle ai(s.session);
    QCOMPARE(ai.stage(), Stage::Off);

    ai.InitAI();
    QCOMPARE(ai.stage(), Stage::First);
    QCOMPARE(ai.timer1().interval(), 60000);
    ai.tick1();
    QCOMPARE(ai.stage(), Stage::Second);
    QCOMPARE(ai.timer2().interval(), 60000);

    // The default message is a command: sent as it stands, not echoed.
    ai.tick2();
    QCOMPARE(s.wireUpToMarker(), QByteArray("/w anonymous Anti-Idle Quillon 2.2\r"));
    QVERIFY(s.upper.runs.isEmpty());
    QCOMPARE(ai.stage(), Stage::First);
    QVERIFY(!ai.timer2().isActive());
}

void TestAntiIdle::chatMessageIsEchoed()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    AntiIdle ai(s.session);
    ai.InitAI();
    ai.tick1();

    // The message is read at the tick, not when anti-idle started.
    s.settings.idleMessageValue = QStringLiteral("brb");
    ai.tick2();
    QCOMPARE(s.wireUpToMarker(), QByteArray("brb\r"));
    QCOMPARE(s.upper.runs, LoggedOnSession::ownEcho(QStringLiteral("brb")));

    s.upper.clear();
    s.settings.idleMessageValue.clear();
    ai.tick1();
    ai.tick2();
    QCOMPARE(s.wireUpToMarker(), QByteArray("\r"));
    QCOMPARE(s.upper.runs, LoggedOnSession::ownEcho(QString()));
}

void TestAntiIdle::refusedSendRetriesInSecondStage()
{
    LoggedOnSession s;
    AntiIdle ai(s.session);
    s.settings.idleMessageValue = QStringLiteral("brb");
    ai.InitAI();
    ai.tick1();

    ai.tick2();     // no connection
    ai.tick2();
    QCOMPARE(ai.stage(), Stage::Second);
    QVERIFY(s.upper.runs.isEmpty());
    QVERIFY(!s.session.isActive());

    QVERIFY(s.logOn());
    ai.tick2();
    QCOMPARE(s.wireUpToMarker(), QByteArray("brb\r"));
    QCOMPARE(ai.stage(), Stage::First);
}

void TestAntiIdle::initRestartsAndStopEnds()
{
    LoggedOnSession s;
    AntiIdle ai(s.session);
    ai.setStageIntervalForTesting(5000);
    ai.InitAI();
    ai.tick1();
    ai.InitAI();    // from the second stage: back to a fresh first stage
    QCOMPARE(ai.stage(), Stage::First);
    QVERIFY(ai.timer1().remainingTime() > 4000);

    ai.stop();
    QCOMPARE(ai.stage(), Stage::Off);
    ai.InitAI();
    ai.tick1();
    ai.stop();      // between the stages
    QCOMPARE(ai.stage(), Stage::Off);
}

void TestAntiIdle::realTimersRunTheCycle()
{
    LoggedOnSession s;
    QVERIFY(s.logOn());
    AntiIdle ai(s.session);
    ai.setStageIntervalForTesting(20);
    s.settings.idleMessageValue = QStringLiteral("ping");
    ai.InitAI();
    QVERIFY(s.gateway.waitForReceivedEnding("ping\rping\r"));
    ai.stop();
    s.wireUpToMarker();     // whatever went out before the stop
    QTest::qWait(200);      // ten stages' worth
    QCOMPARE(s.wireUpToMarker(), QByteArray());
    QCOMPARE(ai.stage(), Stage::Off);
}

QTEST_MAIN(TestAntiIdle)
#include "tst_antiidle.moc"
