#pragma once
// The login dialog's server entries: the servers that logged on lately, then
// Battle.net's own "Server List" when it is stored, otherwise the built-in
// gateways.

#include <QString>
#include <QStringList>

namespace ServerList {

// Nine gateway addresses, then five regional host names.
const QStringList &builtIn();
// Entry 11 of the built-in list.
QString defaultServer();

// The stored list split at every ";" (empty pieces kept, nothing trimmed);
// the built-in list when the text is empty.
QStringList fromText(const QString &listText);

// Battle.net's own list from the machine-wide store, or the built-in one.
QStringList read();

// The remembered servers, then the entries of list that equal none of them
// (in any case).
QStringList withRemembered(const QStringList &remembered, const QStringList &list);

// The index of the last entry equal to server (case-sensitive), or current
// when none is equal.
int preselect(const QStringList &entries, const QString &server, int current);

} // namespace ServerList
