#pragma once
// Loads and saves the settings under "Software\Ashgrove\Quillon".
//
// The record lives in the machine-wide store when that can be written,
// otherwise in the per-user store at the same key path; when neither can be
// written it is kept in memory for the session and the problem is reported
// once. Loading writes the default of each value that is missing or empty
// (an empty user name takes the password with it) and leaves the others alone.

#include "ChatSettings.h"

#include <functional>

class UserFile
{
public:
    static inline const QString SubKey = QStringLiteral("Software\\Ashgrove\\Quillon");

    enum class Store { MachineWide, PerUser, Memory };

    explicit UserFile(std::function<void(const QString &)> reportProblem = {});

    ChatSettings LoadSettings();
    // Every value but those of Place::Store, which SaveValue alone writes,
    // as soon as they change.
    void SaveSettings(const ChatSettings &record);
    void SaveValue(Settings::Key key, const QString &text);

    // Where the record lives now; decided at the first load or save.
    Store store();

private:
    void chooseStore();
    // Moves on to the next store after a failed write.
    void giveUpStore();
    void keepInMemory();
    ChatSettings readAll(Store store) const;
    // Writes the values of record that differ from stored; without it, all
    // but those of Place::Store.
    bool writeAll(Store store, const ChatSettings &record, const ChatSettings *stored = nullptr);
    ChatSettings fallbackValues(Store store) const;

    std::function<void(const QString &)> m_reportProblem;
    Store m_store = Store::MachineWide;
    bool m_chosen = false;
    ChatSettings m_memory;
};
