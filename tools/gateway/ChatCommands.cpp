#include "ChatCommands.h"

#include "ChatHub.h"
#include "Participant.h"
#include "WireBytes.h"

#include <QStringList>

namespace gateway {

namespace {

// Splits "word rest of line" at the first blank; rest keeps its inner blanks.
std::pair<QString, QString> firstWord(const QString &text)
{
    const QString t = trimmedBlanks(text);
    const qsizetype blank = t.indexOf(QLatin1Char(' '));
    if (blank < 0)
        return {t, QString()};
    return {t.left(blank), trimmedBlanks(t.mid(blank + 1))};
}

void help(Participant &p)
{
    static const QStringList lines = {
        QStringLiteral("Commands: /w or /whisper <user> <text>, /me or /emote <text>,"),
        QStringLiteral("/join <channel>, /whois <user>, /squelch <user>, /unsquelch <user>,"),
        QStringLiteral("/kick <user> [reason], /ban <user> [reason], /unban <user> (channel operators only),"),
        QStringLiteral("/announce <text> (administrators only)."),
        QStringLiteral("Friends: /f a <user>, /f r <user>, /f l (or /friends add, remove, list)."),
    };
    for (const QString &line : lines)
        ChatHub::info(p, line);
}

// "/f a name", "/f r name", "/f l" and their long forms.
void friends(ChatHub &hub, Participant &p, const QString &rest)
{
    const auto [word, name] = firstWord(rest);
    const QString sub = word.toLower();
    const bool named = !name.isEmpty() && !name.contains(QLatin1Char(' '));
    if ((sub == QLatin1String("a") || sub == QLatin1String("add")) && named)
        hub.addFriend(p, name);
    else if ((sub == QLatin1String("r") || sub == QLatin1String("remove") || sub == QLatin1String("del")) && named)
        hub.removeFriend(p, name);
    else if (sub == QLatin1String("l") || sub == QLatin1String("list"))
        hub.listFriends(p);
    else
        ChatHub::info(p, QStringLiteral("Friends: /f a <user>, /f r <user>, /f l (or /friends add, remove, list)."));
}

} // namespace

namespace ChatCommands {

void run(ChatHub &hub, Participant &p, const QString &line)
{
    if (trimmedBlanks(line).isEmpty())
        return;
    if (!line.startsWith(QLatin1Char('/'))) {
        hub.talk(p, line);
        return;
    }

    const auto [word, rest] = firstWord(line.mid(1));
    const QString command = word.toLower();
    const auto [target, text] = firstWord(rest);

    if (command == QLatin1String("w") || command == QLatin1String("whisper")
        || command == QLatin1String("m") || command == QLatin1String("msg")) {
        if (target.isEmpty())
            ChatHub::error(p, QStringLiteral("Who do you want to whisper to?"));
        else if (text.isEmpty())
            ChatHub::error(p, QStringLiteral("What do you want to say?"));
        else
            hub.whisper(p, target, text);
    } else if (command == QLatin1String("me") || command == QLatin1String("emote")) {
        if (rest.isEmpty())
            ChatHub::error(p, QStringLiteral("What do you want to emote?"));
        else
            hub.emote(p, rest);
    } else if (command == QLatin1String("join") || command == QLatin1String("j")) {
        hub.join(p, rest);
    } else if (command == QLatin1String("whois") || command == QLatin1String("whereis")
               || command == QLatin1String("where")) {
        hub.whois(p, target.isEmpty() ? p.name() : target);
    } else if (command == QLatin1String("squelch") || command == QLatin1String("ignore")) {
        hub.squelch(p, target);
    } else if (command == QLatin1String("unsquelch") || command == QLatin1String("unignore")) {
        hub.unsquelch(p, target);
    } else if (command == QLatin1String("kick")) {
        hub.kick(p, target, text);
    } else if (command == QLatin1String("ban")) {
        hub.ban(p, target, text);
    } else if (command == QLatin1String("unban")) {
        hub.unban(p, target);
    } else if (command == QLatin1String("announce") || command == QLatin1String("ann")) {
        hub.announce(p, rest);
    } else if (command == QLatin1String("f") || command == QLatin1String("friends")) {
        friends(hub, p, rest);
    } else if (command == QLatin1String("help") || command == QLatin1String("?")) {
        help(p);
    } else {
        ChatHub::error(p, QStringLiteral("That is not a valid command. Type /help for a list of commands."));
    }
}

} // namespace ChatCommands

} // namespace gateway
