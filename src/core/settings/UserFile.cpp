#include "UserFile.h"

#include "Registry.h"

namespace {

Registry::Hive hiveOf(UserFile::Store store)
{
    return store == UserFile::Store::MachineWide ? Registry::Hive::LocalMachine
                                                 : Registry::Hive::CurrentUser;
}

// Empty values take theirs from `from`. A user name and its password go
// together: when the name is empty both are taken, so a password typed for
// a name that was then cleared is never sent for the default account.
void fillEmpty(ChatSettings &record, const ChatSettings &from)
{
    if (record["UserName"].isEmpty())
        record["PassWord"].clear();
    for (int i = 0; i < ChatSettings::Count; ++i) {
        if (record.value(i).isEmpty())
            record.value(i) = from.value(i);
    }
}

// Complete when no value is empty that has a default to take.
bool complete(const ChatSettings &record)
{
    for (int i = 0; i < ChatSettings::Count; ++i) {
        if (record.value(i).isEmpty() && !Settings::Table[i].defaultText.empty())
            return false;
    }
    return true;
}

} // namespace

UserFile::UserFile(std::function<void(const QString &)> reportProblem)
    : m_reportProblem(std::move(reportProblem))
{
}

UserFile::Store UserFile::store()
{
    chooseStore();
    return m_store;
}

void UserFile::chooseStore()
{
    if (m_chosen)
        return;
    m_chosen = true;
    if (Registry::canWrite(Registry::Hive::LocalMachine, SubKey))
        m_store = Store::MachineWide;
    else if (Registry::canWrite(Registry::Hive::CurrentUser, SubKey))
        m_store = Store::PerUser;
    else
        keepInMemory();
}

void UserFile::giveUpStore()
{
    if (m_store == Store::MachineWide && Registry::canWrite(Registry::Hive::CurrentUser, SubKey))
        m_store = Store::PerUser;
    else
        keepInMemory();
}

void UserFile::keepInMemory()
{
    m_store = Store::Memory;
    // Start from whatever can still be read: this user's values, then the
    // machine's, then the defaults.
    m_memory = readAll(Store::PerUser);
    fillEmpty(m_memory, readAll(Store::MachineWide));
    fillEmpty(m_memory, ChatSettings::defaults());
    if (m_reportProblem) {
        m_reportProblem(
            QStringLiteral("Settings cannot be saved: %1 and %2 cannot be written. "
                           "Changes to the settings last only until Quillon closes.")
                .arg(Registry::location(Registry::Hive::LocalMachine, SubKey),
                     Registry::location(Registry::Hive::CurrentUser, SubKey)));
    }
}

ChatSettings UserFile::readAll(Store store) const
{
    ChatSettings record;
    if (store == Store::Memory)
        return m_memory;
    for (int i = 0; i < ChatSettings::Count; ++i)
        record.value(i) = Registry::ReadRegString(hiveOf(store), SubKey, ChatSettings::valueName(i));
    return record;
}

bool UserFile::writeAll(Store store, const ChatSettings &record, const ChatSettings *stored)
{
    bool ok = true;
    for (int i = 0; i < ChatSettings::Count; ++i) {
        if (stored ? stored->value(i) == record.value(i) : Settings::Table[i].place == Settings::Place::Store)
            continue;
        ok = Registry::WriteRegString(hiveOf(store), SubKey, ChatSettings::valueName(i),
                                      record.value(i))
             && ok;
    }
    return ok;
}

// What a missing value becomes: in the per-user store the machine-wide value
// when there is one (an administrator's choice), otherwise the default.
ChatSettings UserFile::fallbackValues(Store store) const
{
    ChatSettings values;
    if (store == Store::PerUser)
        values = readAll(Store::MachineWide);
    fillEmpty(values, ChatSettings::defaults());
    return values;
}

ChatSettings UserFile::LoadSettings()
{
    chooseStore();
    while (m_store != Store::Memory) {
        const ChatSettings record = readAll(m_store);
        if (complete(record))
            return record;
        const ChatSettings fallback = fallbackValues(m_store);
        ChatSettings repaired = record;
        fillEmpty(repaired, fallback);
        if (writeAll(m_store, repaired, &record)) {
            // Read back once; a value that still reads empty runs on its
            // fallback instead of starting over.
            ChatSettings stored = readAll(m_store);
            fillEmpty(stored, fallback);
            return stored;
        }
        giveUpStore();
    }
    fillEmpty(m_memory, ChatSettings::defaults());
    return m_memory;
}

void UserFile::SaveValue(Settings::Key key, const QString &text)
{
    chooseStore();
    while (m_store != Store::Memory) {
        if (Registry::WriteRegString(hiveOf(m_store), SubKey, ChatSettings::valueName(key.index()), text))
            return;
        giveUpStore();
    }
    m_memory[key] = text;
}

void UserFile::SaveSettings(const ChatSettings &record)
{
    chooseStore();
    while (m_store != Store::Memory) {
        if (writeAll(m_store, record))
            return;
        giveUpStore();
    }
    for (int i = 0; i < ChatSettings::Count; ++i) {
        if (Settings::Table[i].place != Settings::Place::Store)
            m_memory.value(i) = record.value(i);
    }
}
