#pragma once
// What the login and options dialogs hold while they exist, shown or hidden:
// the live text of each setting of the table that shows in that dialog
// (fields), as it would be stored.

#include "settings/ChatSettings.h"

#include <QStringList>

// frmLogin
struct LoginForm
{
    ChatSettings fields;    // the Place::Login rows: Server, UserName, PassWord
    QStringList cmbServers; // the server field's list: the remembered servers, then the server list

    QString selectedServer() const { return fields["Server"]; }
};

// frmOptions
struct OptionsForm
{
    static constexpr int MinFontSize = 5;
    static constexpr int MaxFontSize = 20;
    static constexpr int StartFontSize = 8;

    ChatSettings fields;            // the Place::Options rows
    int scrFSize = StartFontSize;   // not stored; starts at 8 at each creation
};
