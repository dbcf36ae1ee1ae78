// Loading the settings from an arbitrary store: the input becomes the
// client's settings file and Battle.net's server list file, then the
// settings are loaded, saved as loaded and loaded again, which must give
// the same values back.

#include "FuzzChecks.h"

#include "settings/Registry.h"
#include "settings/ServerList.h"
#include "settings/UserFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <fuzzer/FuzzedDataProvider.h>

#include <memory>

namespace {

// Made once and never destroyed: destroying it after main() has returned
// would run after the library's own globals are gone.
QCoreApplication *app = nullptr;
std::unique_ptr<QTemporaryDir> root;
int iteration = 0;

void writeFile(const QString &path, const std::string &bytes)
{
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly), "the fuzz folder is not writable");
    f.write(bytes.data(), qint64(bytes.size()));
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    app = new QCoreApplication(*argc, *argv);
    root = std::make_unique<QTemporaryDir>();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    // A fresh folder each time: the settings library caches files by name.
    const QString folder = root->filePath(QString::number(++iteration));
    const QString machine = folder + QStringLiteral("/machine");
    const QString user = folder + QStringLiteral("/user");
    Registry::setFoldersForTesting(machine, user);
    const std::string serverList = in.ConsumeRandomLengthString(512);
    writeFile(machine + QStringLiteral("/Battle.net/Configuration.conf"), serverList);
    writeFile(machine + QStringLiteral("/Ashgrove/Quillon.conf"), in.ConsumeRemainingBytesAsString());

    const QStringList servers = ServerList::read();
    FUZZ_CHECK(!servers.isEmpty(), "an empty server list");

    UserFile file;
    const ChatSettings loaded = file.LoadSettings();
    for (int i = 0; i < ChatSettings::Count; ++i)
        FUZZ_CHECK(!loaded.value(i).isEmpty(), "a setting loaded empty");
    file.SaveSettings(loaded);
    UserFile again;
    FUZZ_CHECK(again.LoadSettings() == loaded, "saved settings did not load back the same");

    Registry::setFoldersForTesting(QString(), QString());
    QDir(folder).removeRecursively();
    return 0;
}
