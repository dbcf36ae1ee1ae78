#pragma once
// Settings held in a plain record, for tests of the parts that only read
// them: every setting at its default, except a loopback server and the
// switches that would act on their own (anti-idle, reconnection, the daily
// log, notifications) off.

#include "settings/SettingsAccess.h"

class FakeSettings : public SettingsAccess
{
public:
    FakeSettings()
    {
        values["Server"] = QStringLiteral("127.0.0.1");
        const Settings::Key off[] = {"AntiIdle", "AutoReconnect", "ContinuousLog", "Notifications"};
        for (Settings::Key key : off)
            values[key] = QStringLiteral("0");
    }
    QString text(Settings::Key key) override { return values[key]; }
    void keep(Settings::Key key, const QString &text) override { values[key] = text; }

    void setText(Settings::Key key, const QString &text) { values[key] = text; }
    void setFlag(Settings::FlagKey key, bool on) { values[key] = ChatSettings::flagText(on); }

    ChatSettings values = ChatSettings::defaults();
};
