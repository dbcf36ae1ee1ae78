#pragma once
// Which lines belong to a conversation, and which are the server's notices
// about friends that only look like whispers.

#include <QString>

#include <optional>

struct ChatEvent;

namespace Whispers {

enum class Direction { Received, Sent };

struct Whisper {
    QString user;   // the other side, blanks trimmed
    QString text;
    Direction direction;
};

// 1004 WHISPER alice 0010 "psst"      -> alice, Received
// 1010 WHISPER alice 0010 "psst"      -> alice, Sent (the server's echo of our whisper)
// A friend's arrival notice (see friendNotice) is no whisper.
std::optional<Whisper> fromEvent(const ChatEvent &event);

// A whisper the user typed: "/w alice hi", "/whisper", "/m", "/msg" (the
// command in any case), and "/r", "/reply" to replyName. No text, no name
// or nobody to reply to: none.
std::optional<Whisper> fromTyped(const QString &line, const QString &replyName = QString());

struct FriendNotice {
    enum Kind { Entered, Left } kind;
    QString name;
};

// The server tells of a friend's coming and going, as information:
//   1004 WHISPER alice 0010 "Your friend alice has entered PvPGN Realm."
//   Your friend alice has left PvPGN Realm.            (no event code)
// also "... has entered a Chat game named ...". A whisper counts only when
// it comes from the friend it names, so nobody else's whisper is taken for one.
std::optional<FriendNotice> friendNotice(const ChatEvent &event);
// The same for a text: a whisper's text (from: its sender) or a plain line.
std::optional<FriendNotice> friendNotice(const QString &text, const QString &from = QString());

} // namespace Whispers
