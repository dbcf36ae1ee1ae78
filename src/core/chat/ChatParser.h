#pragma once
// The module `Parsing`: turns received bytes into transcript lines, roster
// changes and window state. It knows nothing of widgets. Each line goes
// through three steps: EventDecoder takes its fields, apply() changes the
// roster and tells the host of the state, EventFormatter writes its runs
// into the two transcript sinks.

#include "EventDecoder.h"
#include "EventFormatter.h"
#include "LineSplitter.h"
#include "ParserOptions.h"
#include "conversations/Whispers.h"

#include <QByteArray>
#include <QString>

class RosterModel;
class TranscriptSink;

// What the parser tells its owner: the state a line changes, and the one
// line the parser asks to send.
class ParserHost
{
public:
    virtual ~ParserHost() = default;
    virtual void loggedOn(const QString &ownName) = 0;           // 2010 NAME: `UserName`
    virtual void setReplyName(const QString &name) = 0;
    // 1007 CHANNEL: the user is in this channel now (its name may be empty).
    virtual void setChannel(const QString &channel) = 0;
    // A 1003 LEAVE named the user: the user is in no channel now. Called
    // after the line that says so is shown.
    virtual void leftChannel() {}
    // The home channel's join ("/join " + the channel), asked for once per
    // connection after the logon was accepted. False when it could not be
    // queued; the parser then asks again at the next 2010 NAME.
    virtual bool sendJoin(const QString &line) = 0;
    // A plain line before the logon refused it ("Login failed."); called with
    // that line after it is shown. The server then waits for a new name.
    virtual void logonRefused(const QString & /*reason*/) {}
    // Somebody whispered to the user, or named the user in channel talk or
    // an emote; called after the line is shown.
    virtual void addressed(const QString & /*from*/, const QString & /*text*/) {}
    // A whisper to or from the user (1004 WHISPER, or the server's 1010
    // echo of one we sent): called just before its line is shown, so the
    // owner can route that line's runs to the conversation too.
    virtual void whisperLine(const Whispers::Whisper & /*whisper*/) {}
    // A friend came or went; its notice has just been shown as information.
    virtual void friendNotice(const Whispers::FriendNotice & /*notice*/) {}
    // A 1018 INFO text: true when it belongs to a friends-list reply the
    // owner asked for, and is shown nowhere.
    virtual bool friendsReply(const QString & /*text*/) { return false; }
};

class ChatParser
{
public:
    // A line longer than this is dropped, with one notice, however it is
    // cut into chunks; the stream after its CR LF is handled normally.
    static constexpr qsizetype MaxTail = LineSplitter::MaxLine;

    ChatParser(ParserHost &host, RosterModel &roster, TranscriptSink &upper, TranscriptSink &lower);

    // The settings it follows; read at each line.
    void setOptions(const ParserOptions &options) { m_options = options; }
    const ParserOptions &options() const { return m_options; }

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

    // Writes the runs of the server's information, for lines held back
    // from a friends-list reply that was not read after all.
    const EventFormatter &formatter() const { return m_formatter; }

private:
    // What handleLine does with an event after apply().
    enum class Effect : quint8 {
        Show,          // its runs
        Hide,          // nothing (a plain line after the logon, the channel the user is in listed anew)
        JoinHome,      // its runs, the help, and the home channel's join once logged on
        SendJoin,      // its runs, then the home channel's join that waited for the logon
        LeftChannel,   // the user's own LEAVE: the red "in no channel" line
        Refused,       // a plain line that refused the logon
        FriendNotice,  // a friend came or went: information, no whisper, no alert
    };

    void handleLine(QByteArrayView bytes);
    Effect apply(const ChatEvent &event);
    Effect claimHomeJoin();
    void friendNotice(const ChatEvent &event);
    void sendHomeJoin();
    bool isOwnName(const QString &name) const;
    bool addressesUser(const ChatEvent &e) const;
    QString kickReason() const;

    ParserHost &m_host;
    RosterModel &m_roster;
    ParserOptions m_options;
    EventFormatter m_formatter;
    LineSplitter m_splitter;
    EventDecoder m_decoder;
    bool m_loggedOn = false;       // 2010 NAME arrived on this connection
    bool m_homeClaimed = false;    // the welcome or first channel asked for the home join on this connection
    bool m_joinWaiting = false;    // that join is not queued yet
    QString m_ownName;             // from 2010 NAME on this connection
    bool m_inChannel = false;      // a 1007 CHANNEL named m_channel, and no own LEAVE since
    QString m_channel;
    QString m_lastInfo;            // the text of the line before, when it was a 1018 INFO
};
