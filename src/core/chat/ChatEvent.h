#pragma once
// One received line, decoded: what happened (the kind) and the fields the
// handlers use. The fields below `ownName` are the parser's working fields:
// a line sets the ones it carries and the others keep the values of earlier
// lines of the same arrival (`name`, which is `CurName`, those of earlier
// arrivals too), so a line whose field cannot be taken shows the last value.

#include <QString>
#include <QStringView>

#include <algorithm>
#include <array>

struct ChatEvent {
    enum class Kind : quint8 {
        Ignored,       // an empty line, or 2000 NULL (the keep-alive)
        Unknown,       // an event code without a handler of its own
        Prompt,        // a line without an event code ("Login failed.")
        Name,          // 2010: the logon was accepted
        User,          // 1001: somebody already in the channel
        Join,          // 1002
        Leave,         // 1003
        Whisper,       // 1004: a whisper to us
        Talk,          // 1005
        Broadcast,     // 1006: an announcement to everybody
        Channel,       // 1007: we are in a channel now
        Flags,         // 1009: a user's flags changed
        WhisperSent,   // 1010: the echo of our own whisper
        Info,          // 1018
        Error,         // 1019
        Emote,         // 1023
    };

    // The flags field as it stands ("0012"), at most four characters, held
    // without a heap copy since nearly every line sets it.
    struct FlagsText {
        std::array<char16_t, 4> chars{};
        qsizetype size = 0;
        void assign(QStringView v)
        {
            size = std::min<qsizetype>(v.size(), qsizetype(chars.size()));
            std::copy_n(v.utf16(), size, chars.begin());
        }
        QStringView view() const { return QStringView(chars.data(), size); }
    };

    Kind kind = Kind::Ignored;
    QString line;       // the line, blanks trimmed and control characters defanged
    QString ownName;    // NAME: the own logged-on name

    QString name;       // `CurName`
    QString product;    // "[STAR]"
    qint16 flags = 0;   // the flags field read as a decimal number: "0012" is 12
    FlagsText flagsText;
    qsizetype quotePos = 0;   // 1-based position of the first double quote, 0 for none
    QString text;       // the quoted text (also of 1006 BROADCAST)
    QString channel;
};
