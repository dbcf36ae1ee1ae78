#pragma once
// The module `Parsing`: turns received bytes into transcript lines, roster
// changes and window state. It knows nothing of widgets; everything it does
// goes through ParserHost and the roster.

#include "TranscriptSink.h"

#include <QByteArray>
#include "chat/Colors.h"
#include <QString>

class RosterModel;

class ParserHost
{
public:
    virtual ~ParserHost() = default;
    virtual void AddText(const QString &txt, Rgb color) = 0;    // upper pane
    virtual void AddText2(const QString &txt, Rgb color) = 0;   // lower pane
    virtual void loggedOn(const QString &ownName) = 0;           // 2010 NAME: `UserName`
    virtual void setReplyName(const QString &name) = 0;
    virtual void setChannel(const QString &channel) = 0;
    virtual bool sendParserLine(const QString &line) = 0;        // `SendLine`
    virtual bool joinLeave() = 0;
    virtual QString homeChan() = 0;
};

class ChatParser
{
public:
    // A fragment without CR LF longer than this is dropped; the stream after
    // its next CR LF is handled normally.
    static constexpr qsizetype MaxTail = 64 * 1024;

    ChatParser(ParserHost &host, RosterModel &roster);

    // Handles every complete line of the chunk; an unfinished line waits for
    // the next chunk.
    void ParseData(const QByteArray &data);

    // A new connection: no leftover bytes, not logged on, home not joined.
    void resetConnection();

    // Bytes of an unfinished line held back for the next chunk; never more
    // than MaxTail.
    qsizetype pendingBytes() const { return m_tail.size(); }

    bool loggedOn() const { return m_loggedOn; }
    QString curName() const { return m_curName; }

private:
    struct Fields;
    void handleLine(QString line, Fields &f);
    void joinHome();
    void reportDroppedFragment();

    ParserHost &m_host;
    RosterModel &m_roster;
    QByteArray m_tail;             // `RecvBuffer`: the unfinished line
    bool m_discarding = false;     // skipping an over-long fragment up to its CR LF
    bool m_loggedOn = false;       // 2010 NAME arrived on this connection
    bool m_homeJoined = false;     // the home channel was joined on this connection
    bool m_sawChannel = false;     // a CHANNEL line arrived after the logon
    QString m_curName;             // `CurName`: kept from line to line and chunk to chunk
};
