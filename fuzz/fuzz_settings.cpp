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

// Made once and never destroyed: destroying it after main() has returned
// would run after the library's own globals are gone.
static QCoreApplication *app = nullptr;
static std::unique_ptr<QTemporaryDir> root;
static int iteration = 0;

static void writeFile(const QString &path, const std::string &bytes)
{
    QDir().mkpath(path.left(path.lastIndexOf(QLatin1Char('/'))));
    QFile f(path);
    FUZZ_CHECK(f.open(QIODevice::WriteOnly), "the fuzz folder is not writable");
    f.write(bytes.data(), qint64(bytes.size()));
}

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
    Registry::setFoldersForTesting(folder + QStringLiteral("/machine"), folder + QStringLiteral("/user"));
    writeFile(folder + QStringLiteral("/machine/Battle.net/Configuration.conf"), in.ConsumeRandomLengthString(512));
    writeFile(folder + QStringLiteral("/machine/Ashgrove/Quillon.conf"), in.ConsumeRemainingBytesAsString());

    FUZZ_CHECK(!ServerList::read().isEmpty(), "an empty server list");
    UserFile file;
    const ChatSettings loaded = file.LoadSettings();
    for (int i = 0; i < ChatSettings::Count; ++i)
        FUZZ_CHECK(!loaded.value(i).isEmpty(), "a setting loaded empty");
    file.SaveSettings(loaded);
    FUZZ_CHECK(UserFile().LoadSettings() == loaded, "saved settings did not load back the same");

    Registry::setFoldersForTesting(QString(), QString());
    QDir(folder).removeRecursively();
    return 0;
}
