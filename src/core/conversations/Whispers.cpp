#include "Whispers.h"

#include "chat/ChatEvent.h"

#include <QRegularExpression>

namespace Whispers {

std::optional<Whisper> fromEvent(const ChatEvent &e)
{
    const QString user = e.name.trimmed();
    if (user.isEmpty())
        return std::nullopt;
    if (e.kind == ChatEvent::Kind::WhisperSent)
        return Whisper{user, e.text, Direction::Sent};
    if (e.kind != ChatEvent::Kind::Whisper || friendNotice(e))
        return std::nullopt;
    return Whisper{user, e.text, Direction::Received};
}

std::optional<Whisper> fromTyped(const QString &line, const QString &replyName)
{
    // "/w name text": the command, one blank, the name up to the next blank.
    static const QRegularExpression named(QStringLiteral("^/(?:w|whisper|m|msg) +(\\S+) (.*\\S.*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression reply(QStringLiteral("^/(?:r|reply) (.*\\S.*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    if (const auto m = named.match(line); m.hasMatch())
        return Whisper{m.captured(1), m.captured(2), Direction::Sent};
    if (const auto m = reply.match(line); m.hasMatch() && !replyName.trimmed().isEmpty())
        return Whisper{replyName.trimmed(), m.captured(1), Direction::Sent};
    return std::nullopt;
}

std::optional<FriendNotice> friendNotice(const QString &text, const QString &from)
{
    static const QRegularExpression notice(QStringLiteral("^Your friend (\\S+) has (entered|left) \\S"));
    const auto m = notice.match(text);
    if (!m.hasMatch())
        return std::nullopt;
    const QString name = m.captured(1);
    if (!from.isEmpty() && name.compare(from.trimmed(), Qt::CaseInsensitive) != 0)
        return std::nullopt;
    return FriendNotice{m.captured(2) == QLatin1String("entered") ? FriendNotice::Entered : FriendNotice::Left,
                        name};
}

std::optional<FriendNotice> friendNotice(const ChatEvent &e)
{
    if (e.kind == ChatEvent::Kind::Whisper)
        return e.name.trimmed().isEmpty() ? std::nullopt : friendNotice(e.text, e.name);
    if (e.kind == ChatEvent::Kind::Prompt)
        return friendNotice(e.line);
    return std::nullopt;
}

} // namespace Whispers
