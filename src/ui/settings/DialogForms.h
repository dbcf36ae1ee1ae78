#pragma once
// What the login and options dialogs hold while they exist, shown or hidden.

#include <QString>
#include <QStringList>

// frmLogin
struct LoginForm
{
    QStringList cmbServers;
    int selected = -1;      // index into cmbServers
    QString txtUserN;
    QString txtPassW;

    QString selectedServer() const
    {
        return selected >= 0 && selected < cmbServers.size() ? cmbServers.at(selected) : QString();
    }
};

// frmOptions
struct OptionsForm
{
    static constexpr int MinFontSize = 5;
    static constexpr int MaxFontSize = 20;
    static constexpr int StartFontSize = 8;

    bool chkAI = false;
    QString txtHomeChan;
    bool chkUJ = false;
    bool chkRC = false;
    int scrFSize = StartFontSize;   // not stored; starts at 8 at each creation
    QString txtIdle;
    int spnScrollback = 0;
    bool chkLog = false;
    bool chkNotify = false;
};
