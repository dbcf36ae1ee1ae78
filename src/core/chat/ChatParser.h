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
    // home not joined.
    void resetConnection();

    // Bytes of an unfinished line held back for the next chunk; never more
    // than MaxTail.
    qsizetype pendingBytes() const { return m_splitter.pendingBytes(); }

    bool loggedOn() const { return m_loggedOn; }

private:
    void handleLine(QByteArrayView bytes);
    bool apply(const ChatEvent &event);
    bool claimHomeJoin();
    void joinHome();

    ParserHost &m_host;
    RosterModel &m_roster;
    LineSplitter m_splitter;
    EventDecoder m_decoder;
    bool m_loggedOn = false;       // 2010 NAME arrived on this connection
    bool m_homeJoined = false;     // the home channel was joined on this connection
};
