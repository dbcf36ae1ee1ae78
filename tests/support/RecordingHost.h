#pragma once
// A parser host that records both panes, the lines sent and the window
// state, so parser tests see every effect of a line.

#include "RecordingSink.h"
#include "chat/ChatParser.h"

#include <QStringList>

class RecordingHost : public ParserHost
{
public:
    void AddText(const QString &txt, Rgb color) override { upper.AddText(txt, color); }
    void AddText2(const QString &txt, Rgb color) override { lower.AddText(txt, color); }
    void loggedOn(const QString &name) override { ownName = name; }
    void setReplyName(const QString &name) override { replyName = name; }
    void setChannel(const QString &name) override { channel = name; }
    bool sendParserLine(const QString &line) override
    {
        sent.append(line);
        return true;
    }
    bool joinLeave() override { return joinLeaveOn; }
    QString homeChan() override { return home; }

    RecordingSink upper;
    RecordingSink lower;
    QString ownName;
    QString replyName;
    QString channel;
    QStringList sent;
    bool joinLeaveOn = true;
    QString home = QStringLiteral("Lobby");
};
