#include "ChatSettings.h"

#include <QStringDecoder>
#include <QStringEncoder>

#include <algorithm>

static QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

QString ChatSettings::valueName(int index)
{
    return toQString(Settings::Table[index].name);
}

ChatSettings ChatSettings::defaults()
{
    ChatSettings d;
    for (int i = 0; i < Count; ++i)
        d.value(i) = toQString(Settings::Table[i].defaultText);
    return d;
}

bool ChatSettings::flagOn(const QString &text)
{
    bool number = false;
    const qlonglong value = text.trimmed().toLongLong(&number);
    return number && value != 0;
}

namespace Settings {

QString defaultText(Key key)
{
    return toQString(key.row().defaultText);
}

int number(Key key, const QString &text)
{
    bool isNumber = false;
    const qlonglong value = text.trimmed().toLongLong(&isNumber);
    if (!isNumber)
        return defaultText(key).toInt();
    return int(std::clamp<qlonglong>(value, key.row().min, key.row().max));
}

QString encoding(Key key, const QString &text)
{
    for (const Choice &c : offeredChoices(key)) {
        if (toQString(c.stored) == text)
            return text;
    }
    return defaultText(key);
}

QStringList list(const QString &text)
{
    return text.split(QLatin1Char(';'), Qt::SkipEmptyParts);
}

QString listText(const QStringList &entries)
{
    return entries.join(QLatin1Char(';'));
}

QStringList remembered(QStringList servers, const QString &server)
{
    const QString entry = server.trimmed();
    if (!entry.isEmpty() && !entry.contains(QLatin1Char(';')) && !entry.contains(QLatin1Char(' '))) {
        servers.removeIf([&entry](const QString &s) { return s.compare(entry, Qt::CaseInsensitive) == 0; });
        servers.prepend(entry);
    }
    return servers.mid(0, MaxRemembered);   // also a longer list edited by hand
}

QString normalised(Key key, const QString &text)
{
    switch (key.row().kind) {
    case Kind::Flag:
        return ChatSettings::flagText(ChatSettings::flagOn(text));
    case Kind::Number:
        return QString::number(number(key, text));
    case Kind::Encoding:
        return encoding(key, text);
    case Kind::Text:
    case Kind::List:
        break;
    }
    return text;
}

QList<Choice> offeredChoices(Key key)
{
    QList<Choice> offered;
    for (const Choice &c : key.row().choices) {
        if (c.stored.empty())
            continue;
        const QByteArray name(c.stored.data(), qsizetype(c.stored.size()));
        if (c.stored == key.row().defaultText
            || (QStringDecoder(name.constData()).isValid() && QStringEncoder(name.constData()).isValid()))
            offered << c;
    }
    return offered;
}

QString accessibleName(const Row &row)
{
    QString name = toQString(row.caption);
    return name.remove(QLatin1Char('&'));
}

} // namespace Settings
