#pragma once
// The eight persisted settings, as the texts they are stored as. Flags hold
// "1" for on and "0" for off.

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
    // A flag is its text taken as a whole number ("01" and " 1" are 1): any
    // number but 0 is on; a text that is no number is off.
    static bool flagOn(const QString &text);

    bool operator==(const ChatSettings &) const = default;
};
