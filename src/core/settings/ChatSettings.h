#pragma once
// The persisted settings, as the texts they are stored as: the classic eight,
// then the scrollback length and the daily-log and notification switches.
// Flags hold "1" for on and "0" for off.

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
    QString ScrollbackLines;
    QString ContinuousLog;
    QString Notifications;

    // Values in the order they are read and written.
    static constexpr int Count = 11;
    static QString valueName(int index);
    QString &value(int index);
    const QString &value(int index) const;

    static ChatSettings defaults();
    static QString flagText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }
    // A flag is its text taken as a whole number ("01" and " 1" are 1): any
    // number but 0 is on; a text that is no number is off.
    static bool flagOn(const QString &text);

    static constexpr int MinScrollback = 1000;
    static constexpr int MaxScrollback = 1000000;
    static constexpr int DefaultScrollback = 20000;
    // The stored line count, kept within the range; the default when the
    // text is no number.
    static int scrollbackLines(const QString &text);

    bool operator==(const ChatSettings &) const = default;
};
