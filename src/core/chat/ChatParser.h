#pragma once
// The module `Parsing`: turns received bytes into transcript lines, roster
// changes and window state. It knows nothing of widgets; everything it does
// goes through ParserHost and the roster. Each line goes through three
// steps: EventDecoder takes its fields, apply() changes the state,
// EventFormatter writes its runs.

#include "EventDecoder.h"
#include "LineSplitter.h"
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
    // A 1003 LEAVE named the user: the user is in no channel now. Called
    // after setChannel(QString()) and after the line that says so is shown.
    virtual void leftChannel() {}
    // A plain line before the logon refused it ("Login failed."); called with
    // that line after it is shown. The server then waits for a new name.
    virtual void logonRefused(const QString & /*reason*/) {}
    // Somebody whispered to the user, or named the user in channel talk or
    // an emote; called after the line is shown.
    virtual void addressed(const QString & /*from*/, const QString & /*text*/) {}
};

class ChatParser
{
public:
    // A line longer than this is dropped, with one notice, however it is
    // cut into chunks; the stream after its CR LF is handled normally.
    static constexpr qsizetype MaxTail = LineSplitter::MaxLine;

    ChatParser(ParserHost &host, RosterModel &roster);

    // The start of one data arrival: the working fields start empty. The
    // ParseData calls that follow share them, so reading an arrival in
    // slices gives what one call would.
    void beginArrival();

    // Handles every complete line of the chunk; an unfinished line waits for
    // the next chunk.
    void ParseData(const QByteArray &data);

    // A new connection: no leftover bytes, no working fields, not logged on,
    // home not joined, no own name.
    void resetConnection();

    // Bytes of an unfinished line held back for the next chunk; never more
    // than MaxTail.
    qsizetype pendingBytes() const { return m_splitter.pendingBytes(); }

    bool loggedOn() const { return m_loggedOn; }

private:
    // What handleLine does with an event after apply().
    enum class Effect : quint8 {
        Show,          // its runs
        Hide,          // nothing (a plain line after the logon)
        JoinHome,      // its runs, then the home channel's join
        LeftChannel,   // the user's own LEAVE: the red "in no channel" line
        Refused,       // a plain line that refused the logon
    };

    void handleLine(QByteArrayView bytes);
    Effect apply(const ChatEvent &event);
    Effect claimHomeJoin();
    void joinHome();
    bool isOwnName(const QString &name) const;
    bool addressesUser(const ChatEvent &e) const;
    QString kickReason() const;

    ParserHost &m_host;
    RosterModel &m_roster;
    LineSplitter m_splitter;
    EventDecoder m_decoder;
    bool m_loggedOn = false;       // 2010 NAME arrived on this connection
    bool m_homeJoined = false;     // the home channel was joined on this connection
    QString m_ownName;             // from 2010 NAME on this connection
    QString m_lastInfo;            // the text of the line before, when it was a 1018 INFO
};
