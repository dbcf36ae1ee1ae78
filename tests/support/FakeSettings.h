#pragma once
// Settings held in plain fields, for tests of the parts that only read them.

#include "settings/SettingsAccess.h"

class FakeSettings : public SettingsAccess
{
public:
    QString server() override { return serverValue; }
    QString userName() override { return userNameValue; }
    QString password() override { return passwordValue; }
    QString homeChan() override { return homeChanValue; }
    bool antiIdle() override { return antiIdleValue; }
    bool joinLeave() override { return joinLeaveValue; }
    bool autoReconnect() override { return autoReconnectValue; }
    QString idleMessage() override { return idleMessageValue; }
    int scrollbackLines() override { return scrollbackLinesValue; }
    bool continuousLog() override { return continuousLogValue; }
    bool notifications() override { return notificationsValue; }

    QString serverValue = QStringLiteral("127.0.0.1");
    QString userNameValue = QStringLiteral("Anonymous");
    QString passwordValue = QStringLiteral("Wanderers");
    QString homeChanValue = QStringLiteral("Bounty Hunters");
    bool antiIdleValue = false;
    bool joinLeaveValue = true;
    bool autoReconnectValue = false;
    QString idleMessageValue = QStringLiteral("/w anonymous Anti-Idle Quillon 2.2");
    int scrollbackLinesValue = 20000;
    bool continuousLogValue = false;
    bool notificationsValue = false;
};
