#include "Registry.h"

#ifdef Q_OS_UNIX
#include <sys/stat.h>
#endif

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>

#include <memory>

namespace {

#ifdef Q_OS_WIN
// The registry's 32-bit view, where the classic client and Battle.net's own
// software keep their values, also when this program is a 64-bit one.
constexpr QSettings::Format NativeStore = QSettings::Registry32Format;
#else
constexpr QSettings::Format NativeStore = QSettings::NativeFormat;
#endif

struct TestFolders {
    QString machine;
    QString user;
    Registry::MemoryHives *memory = nullptr;
};

TestFolders &testFolders()
{
    static TestFolders folders;
    return folders;
}

// "Software\Org\App" -> ("Org", "App"); deeper keys keep their rest in App.
std::pair<QString, QString> organisationAndApplication(const QString &subKey)
{
    QStringList parts = subKey.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    if (!parts.isEmpty() && parts.first().compare(QLatin1String("Software"), Qt::CaseInsensitive) == 0)
        parts.removeFirst();
    if (parts.isEmpty())
        return {QStringLiteral("Unknown"), QString()};
    const QString organisation = parts.takeFirst();
    return {organisation, parts.join(QLatin1Char('/'))};
}

QString testFolder(Registry::Hive hive)
{
    return hive == Registry::Hive::LocalMachine ? testFolders().machine : testFolders().user;
}

std::unique_ptr<QSettings> open(Registry::Hive hive, const QString &subKey)
{
    const auto [organisation, application] = organisationAndApplication(subKey);
    std::unique_ptr<QSettings> s;
    const QString folder = testFolder(hive);
    if (!folder.isEmpty()) {
        const QString file = folder + QLatin1Char('/') + organisation + QLatin1Char('/')
                             + (application.isEmpty() ? organisation : application)
                             + QLatin1String(".conf");
        s = std::make_unique<QSettings>(file, QSettings::IniFormat);
    } else {
        const auto scope = hive == Registry::Hive::LocalMachine ? QSettings::SystemScope
                                                                : QSettings::UserScope;
        s = std::make_unique<QSettings>(NativeStore, scope, organisation, application);
    }
    // Each hive stands alone: a user-scope read must not see machine values.
    s->setFallbacksEnabled(false);
    return s;
}

// Native settings are the registry on Windows and property lists on Apple
// systems; everywhere else, and in INI form, they are plain files we manage.
bool isPlainFile(const QSettings &s)
{
#if defined(Q_OS_WIN) || defined(Q_OS_DARWIN)
    return s.format() != NativeStore;
#else
    Q_UNUSED(s);
    return true;
#endif
}

// Creates the empty settings file with owner-only access before the first
// value goes in, so the password is never readable by others.
bool createPrivateFile(const QString &path)
{
    if (QFileInfo::exists(path))
        return true;
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QFile file(path);
#ifdef Q_OS_WIN
    return file.open(QIODevice::WriteOnly | QIODevice::NewOnly);
#else
    if (!file.open(QIODevice::WriteOnly | QIODevice::NewOnly,
                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
        return false;
    file.close();
    return file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
}

Registry::MemoryHives *memory()
{
    return testFolders().memory;
}

int hiveIndex(Registry::Hive hive)
{
    return hive == Registry::Hive::LocalMachine ? 0 : 1;
}

QString memoryName(const QString &subKey, const QString &name)
{
    return subKey + QLatin1Char('\\') + name;
}

} // namespace

namespace Registry {

bool WriteRegString(Hive hive, const QString &subKey, const QString &name, const QString &text)
{
    if (MemoryHives *m = memory()) {
        if (m->writable[hiveIndex(hive)])
            m->values[hiveIndex(hive)].insert(memoryName(subKey, name), text);
        return m->writable[hiveIndex(hive)];
    }
    auto s = open(hive, subKey);
    if (!s->isWritable())
        return false;
    if (isPlainFile(*s) && !createPrivateFile(s->fileName()))
        return false;
#ifdef Q_OS_DARWIN
    const bool existed = QFileInfo::exists(s->fileName());
#endif
    s->setValue(name, text);
#ifdef Q_OS_UNIX
    // The file is replaced by a new one on every save: create that one private too.
    const mode_t oldMask = ::umask(077);
    s->sync();
    ::umask(oldMask);
    if (isPlainFile(*s))
        QFile::setPermissions(s->fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#else
    s->sync();
#endif
#ifdef Q_OS_DARWIN
    if (!existed && !isPlainFile(*s))
        QFile::setPermissions(s->fileName(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
    return s->status() == QSettings::NoError;
}

QString ReadRegString(Hive hive, const QString &subKey, const QString &name)
{
    if (MemoryHives *m = memory())
        return m->values[hiveIndex(hive)].value(memoryName(subKey, name));
    auto s = open(hive, subKey);
    const QVariant v = s->value(name);
    // A hand-edited file may hold an unquoted comma, which reads as a list.
    if (v.typeId() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

bool canWrite(Hive hive, const QString &subKey)
{
    if (MemoryHives *m = memory())
        return m->writable[hiveIndex(hive)];
    return open(hive, subKey)->isWritable();
}

QString location(Hive hive, const QString &subKey)
{
    if (memory())
        return subKey;
    auto s = open(hive, subKey);
    if (isPlainFile(*s))
        return QDir::toNativeSeparators(s->fileName());
    return s->fileName();   // the registry path on Windows
}

void setFoldersForTesting(const QString &machineDir, const QString &userDir)
{
    testFolders().machine = machineDir;
    testFolders().user = userDir;
}

void setMemoryForTesting(MemoryHives *hives)
{
    testFolders().memory = hives;
}

} // namespace Registry
