#pragma once
// Settings held in memory with the stored defaults, for a session that runs
// without a settings store.

#include "SettingsAccess.h"

class InterimSettings : public SettingsAccess
{
public:
    QString server() override { return m_server; }
    QString userName() override { return m_userName; }
    QString password() override { return m_password; }
    QString homeChan() override { return m_homeChan; }
    bool antiIdle() override { return m_antiIdle; }
    bool joinLeave() override { return m_joinLeave; }
    bool autoReconnect() override { return m_autoReconnect; }
    void setAutoReconnect(bool on) override { m_autoReconnect = on; }
    QString idleMessage() override { return m_idleMessage; }

    void setServer(const QString &server) { m_server = server; }

private:
    QString m_server = QStringLiteral("127.0.0.1");
    QString m_userName = QStringLiteral("Anonymous");
    QString m_password = QStringLiteral("Wanderers");
    QString m_homeChan = QStringLiteral("Bounty Hunters");
    bool m_antiIdle = true;
    bool m_joinLeave = true;
    bool m_autoReconnect = true;
    QString m_idleMessage = QStringLiteral("/w anonymous Anti-Idle Quillon 2.2");
};
