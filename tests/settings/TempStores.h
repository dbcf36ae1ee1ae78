#pragma once
// Puts both settings hives of one test into a fresh temporary folder, so that
// no test reads or writes the real machine-wide or per-user locations (tests
// may run as root, where /etc/xdg would be writable).

#include "settings/Registry.h"
#include "settings/UserFile.h"

#include <QFile>
#include <QTemporaryDir>

class TempStores
{
public:
    TempStores() { apply(); }
    QString machineFile() const { return m_machine + QStringLiteral("/Ashgrove/Quillon.conf"); }
    QString userFile() const { return m_user + QStringLiteral("/Ashgrove/Quillon.conf"); }

    // A folder below a regular file can never be created, which stops
    // writes even for root.
    void blockMachine() { m_machine = blocked(QStringLiteral("machine")); apply(); }
    void blockUser() { m_user = blocked(QStringLiteral("user")); apply(); }

    // A value of the machine-wide record.
    static void put(const QString &name, const QString &text)
    {
        Registry::WriteRegString(Registry::Hive::LocalMachine, UserFile::SubKey, name, text);
    }
    static QString stored(const QString &name)
    {
        return Registry::ReadRegString(Registry::Hive::LocalMachine, UserFile::SubKey, name);
    }
    static QByteArray bytes(const QString &path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

private:
    QString blocked(const QString &name)
    {
        QFile blocker(m_dir.filePath(QStringLiteral("blocker-") + name));
        blocker.open(QIODevice::WriteOnly);
        return blocker.fileName() + QStringLiteral("/config");
    }
    void apply() { Registry::setFoldersForTesting(m_machine, m_user); }

    QTemporaryDir m_dir;
    QString m_machine = m_dir.filePath(QStringLiteral("machine"));
    QString m_user = m_dir.filePath(QStringLiteral("user"));
};
