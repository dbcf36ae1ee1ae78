#pragma once
// Text values in the settings store, addressed like registry values: a hive,
// a sub-key such as "Software\Ashgrove\Quillon" and a value name.
//
// On Windows the hives are HKEY_LOCAL_MACHINE and HKEY_CURRENT_USER, read and
// written in the registry's 32-bit view (WOW6432Node for a 64-bit build). Elsewhere
// the machine-wide hive is the system-scope location of QSettings (the first
// directory of XDG_CONFIG_DIRS, /etc/xdg by default) and the per-user hive the
// user-scope one (XDG_CONFIG_HOME); "Software\Org\App" is the file
// Org/App.conf there. Texts of any length are kept as strings.

#include <QHash>
#include <QString>

namespace Registry {

enum class Hive { LocalMachine, CurrentUser };

// True when the value was written and flushed to the store. A settings file
// created here is readable and writable by its owner only.
bool WriteRegString(Hive hive, const QString &subKey, const QString &name, const QString &text);

// The value's text; empty when the key or the value does not exist.
QString ReadRegString(Hive hive, const QString &subKey, const QString &name);

// Whether values under the sub-key can be written (creates missing folders).
bool canWrite(Hive hive, const QString &subKey);

// Where the sub-key lives, for messages: a file path or a registry path.
QString location(Hive hive, const QString &subKey);

// Tests keep both hives in their own folders, as INI files. Empty texts
// restore the real locations.
void setFoldersForTesting(const QString &machineDir, const QString &userDir);

// Or in memory, with no file at all (the settings fuzzer): values by
// "sub-key\name" per hive, and whether each hive can be written. Null
// restores the folders.
struct MemoryHives
{
    QHash<QString, QString> values[2];   // indexed by Hive
    bool writable[2] = {true, true};
};
void setMemoryForTesting(MemoryHives *hives);

} // namespace Registry
