#pragma once
// The eight persisted settings, as the texts they are stored as. Flags hold
// "1" for on; any other text means off.

#include <QString>

struct ChatSettings
{
    QString UserName;
    QString PassWord;
    QString Server;
    QString HomeChan;
    QString AntiIdle;
    QString JoinLeave;
    QString AutoReconnect;
    QString IdleMessage;

    // Values in the order they are read and written.
    static constexpr int Count = 8;
    static QString valueName(int index);
    QString &value(int index);
    const QString &value(int index) const;

    static ChatSettings defaults();
    static QString flagText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }
    static bool flagOn(const QString &text) { return text == QLatin1String("1"); }

    bool operator==(const ChatSettings &) const = default;
};
