#include "EventLines.h"

namespace gateway {

namespace {

QString quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString withFlags(const char *head, const QString &name, int flags)
{
    return QLatin1String(head) + name + QLatin1Char(' ') + EventLines::flagsText(flags);
}

} // namespace

namespace EventLines {

QString flagsText(int flags)
{
    return QStringLiteral("%1").arg(flags & 0xFFFF, 4, 16, QLatin1Char('0'));
}

QString name(const QString &name) { return QStringLiteral("2010 NAME ") + name; }

QString user(const QString &name, int flags, const QString &product)
{
    return withFlags("1001 USER ", name, flags) + QLatin1Char(' ') + product;
}

QString join(const QString &name, int flags, const QString &product)
{
    return withFlags("1002 JOIN ", name, flags) + QLatin1Char(' ') + product;
}

QString leave(const QString &name, int flags) { return withFlags("1003 LEAVE ", name, flags); }

QString whisperFrom(const QString &name, int flags, const QString &text)
{
    return withFlags("1004 WHISPER ", name, flags) + QLatin1Char(' ') + quoted(text);
}

QString talk(const QString &name, int flags, const QString &text)
{
    return withFlags("1005 TALK ", name, flags) + QLatin1Char(' ') + quoted(text);
}

QString broadcast(const QString &text) { return QStringLiteral("1006 _ ") + quoted(text); }

QString channel(const QString &channel) { return QStringLiteral("1007 CHANNEL ") + quoted(channel); }

QString flagsChanged(const QString &name, int flags) { return withFlags("1009 USER ", name, flags); }

QString whisperTo(const QString &name, int flags, const QString &text)
{
    return withFlags("1010 WHISPER ", name, flags) + QLatin1Char(' ') + quoted(text);
}

QString info(const QString &text) { return QStringLiteral("1018 INFO ") + quoted(text); }

QString error(const QString &text) { return QStringLiteral("1019 ERROR ") + quoted(text); }

QString emote(const QString &name, int flags, const QString &text)
{
    return withFlags("1023 EMOTE ", name, flags) + QLatin1Char(' ') + quoted(text);
}

} // namespace EventLines

} // namespace gateway
