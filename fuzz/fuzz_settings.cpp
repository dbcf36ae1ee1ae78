// Loading the settings from an arbitrary store, held in memory so that each
// input costs no file: the input decides which hives can be written, gives
// Battle.net's server list and each value of both hives (or leaves it out).
// The settings are loaded, every value must then read as its kind allows,
// saved as loaded and loaded again, which must give the same values back;
// a server that logged on must come first in the short list of remembered ones.

#include "FuzzChecks.h"

#include "settings/Registry.h"
#include "settings/ServerList.h"
#include "settings/SettingsAccess.h"
#include "settings/UserFile.h"

#include <QCoreApplication>

#include <fuzzer/FuzzedDataProvider.h>

// Made once and never destroyed: destroying it after main() has returned
// would run after the library's own globals are gone.
static QCoreApplication *app = nullptr;

static QString consumeText(FuzzedDataProvider &in, size_t longest)
{
    const std::string bytes = in.ConsumeRandomLengthString(longest);
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

// The settings as loaded, read through the access interface.
class LoadedSettings : public SettingsAccess
{
public:
    explicit LoadedSettings(ChatSettings record) : values(std::move(record)) {}
    QString text(Settings::Key key) override { return values[key]; }
    void keep(Settings::Key key, const QString &text) override { values[key] = text; }
    ChatSettings values;
};

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    app = new QCoreApplication(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider in(data, size);
    Registry::MemoryHives hives;
    hives.writable[0] = in.ConsumeBool();
    hives.writable[1] = in.ConsumeBool();
    const QString serverList = consumeText(in, 512);
    hives.values[0].insert(QStringLiteral("Software\\Battle.net\\Configuration\\Server List"), serverList);
    for (auto &hive : hives.values) {
        for (int i = 0; i < ChatSettings::Count && in.remaining_bytes() > 0; ++i) {
            if (in.ConsumeBool())
                hive.insert(UserFile::SubKey + QLatin1Char('\\') + ChatSettings::valueName(i), consumeText(in, 128));
        }
    }
    Registry::setMemoryForTesting(&hives);

    FUZZ_CHECK(!ServerList::read().isEmpty(), "an empty server list");
    UserFile file;
    LoadedSettings loaded(file.LoadSettings());
    for (int i = 0; i < ChatSettings::Count; ++i) {
        FUZZ_CHECK(!loaded.values.value(i).isEmpty() || Settings::Table[i].defaultText.empty(),
                   "a setting loaded empty");
    }
    const int lines = loaded.scrollbackLines();
    FUZZ_CHECK(lines >= 1000 && lines <= 1000000, "scrollback lines out of range");
    FUZZ_CHECK(!loaded.encoding("TextEncoding").isEmpty(), "no text encoding");
    file.SaveSettings(loaded.values);
    FUZZ_CHECK(UserFile().LoadSettings() == loaded.values, "saved settings did not load back the same");

    const QString used = loaded.list("RecentServers").value(0) + consumeText(in, 64);
    loaded.rememberServer(used);
    const QStringList recent = loaded.list("RecentServers");
    FUZZ_CHECK(recent.size() <= Settings::MaxRemembered, "too many remembered servers");
    FUZZ_CHECK(recent.value(0) == used.trimmed() || !Settings::remembered({}, used).contains(used.trimmed()),
               "a server that logged on is not first");

    Registry::setMemoryForTesting(nullptr);
    return 0;
}
