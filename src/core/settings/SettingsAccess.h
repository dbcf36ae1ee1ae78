#pragma once
// Every read of a setting goes through this one accessor, at the moment of
// use. Reads are not const: the live values sit in the dialogs' fields, and
// reading one may have to create a discarded dialog anew.

#include <QString>

class SettingsAccess
{
public:
    virtual ~SettingsAccess() = default;
    virtual QString server() = 0;
    virtual QString userName() = 0;
    virtual QString password() = 0;
    virtual QString homeChan() = 0;
    virtual bool antiIdle() = 0;
    virtual bool joinLeave() = 0;
    virtual bool autoReconnect() = 0;
    virtual QString idleMessage() = 0;
    // Lines a transcript pane keeps before the oldest go (1000 to 1000000).
    virtual int scrollbackLines() = 0;
    // Whether every transcript line also goes to the daily log file.
    virtual bool continuousLog() = 0;
    // Whether events worth attention raise a desktop notification.
    virtual bool notifications() = 0;
};
