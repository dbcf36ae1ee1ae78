#pragma once
// Every read of a setting goes through this one accessor, at the moment of
// use. Reads are not const: the live values sit in the dialogs' fields, and
// reading one may have to create a discarded dialog anew.
//
// A setting is read by its stored name, as its kind:
//   settings.flag("AntiIdle"), settings.number("ScrollbackLines"),
//   settings.text("HomeChan"), settings.list("RecentServers").
// The named reads below are the same reads, kept for the classic settings.

#include "ChatSettings.h"

class SettingsAccess
{
public:
    virtual ~SettingsAccess() = default;

    // The live value, as the text it is stored as.
    virtual QString text(Settings::Key key) = 0;
    // Stores a setting that has no dialog field (Place::Store) at once.
    virtual void keep(Settings::Key key, const QString &text) = 0;

    bool flag(Settings::FlagKey key) { return ChatSettings::flagOn(text(key)); }
    int number(Settings::NumberKey key) { return Settings::number(key, text(key)); }
    // The encoding's name for QStringEncoder and QStringDecoder.
    QString encoding(Settings::EncodingKey key) { return Settings::encoding(key, text(key)); }
    QStringList list(Settings::ListKey key) { return Settings::list(text(key)); }

    // Called when a logon succeeds: the server goes to the top of the
    // remembered ones, which the login dialog lists first.
    void rememberServer(const QString &server)
    {
        keep("RecentServers", Settings::listText(Settings::remembered(list("RecentServers"), server)));
    }

    QString server() { return text("Server"); }
    QString userName() { return text("UserName"); }
    QString password() { return text("PassWord"); }
    QString homeChan() { return text("HomeChan"); }
    bool antiIdle() { return flag("AntiIdle"); }
    bool joinLeave() { return flag("JoinLeave"); }
    bool autoReconnect() { return flag("AutoReconnect"); }
    QString idleMessage() { return text("IdleMessage"); }
    // Lines a transcript pane keeps before the oldest go (1000 to 1000000).
    int scrollbackLines() { return number("ScrollbackLines"); }
    bool continuousLog() { return flag("ContinuousLog"); }
    bool notifications() { return flag("Notifications"); }
};
