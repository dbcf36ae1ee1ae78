#include "ServerList.h"

#include "Registry.h"

namespace ServerList {

const QStringList &builtIn()
{
    static const QStringList list = {
        QStringLiteral("63.240.202.120"), QStringLiteral("63.240.202.121"),
        QStringLiteral("63.240.202.122"), QStringLiteral("63.241.83.107"),
        QStringLiteral("63.241.83.108"),  QStringLiteral("63.241.83.110"),
        QStringLiteral("213.248.106.200"), QStringLiteral("213.248.106.201"),
        QStringLiteral("211.233.0.72"),
        QStringLiteral("uswest.battle.net"), QStringLiteral("useast.battle.net"),
        QStringLiteral("asia.battle.net"),   QStringLiteral("europe.battle.net"),
        QStringLiteral("sea.battle.net"),
    };
    return list;
}

QString defaultServer()
{
    return builtIn().at(10);
}

QStringList fromText(const QString &listText)
{
    if (listText.isEmpty())
        return builtIn();
    return listText.split(QLatin1Char(';'), Qt::KeepEmptyParts);
}

QStringList read()
{
    return fromText(Registry::ReadRegString(Registry::Hive::LocalMachine,
                                            QStringLiteral("Software\\Battle.net\\Configuration"),
                                            QStringLiteral("Server List")));
}

QStringList withRemembered(const QStringList &remembered, const QStringList &list)
{
    QStringList entries = remembered;
    for (const QString &entry : list) {
        if (!remembered.contains(entry, Qt::CaseInsensitive))
            entries << entry;
    }
    return entries;
}

int preselect(const QStringList &entries, const QString &server, int current)
{
    for (int i = 0; i < entries.size(); ++i) {
        if (entries.at(i) == server)
            current = i;   // no break: of equal entries the last one wins
    }
    return current;
}

} // namespace ServerList
