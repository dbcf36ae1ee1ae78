#pragma once
// The persisted settings, as the texts they are stored as, one per row of
// the settings table, and how a stored text reads as its kind.

#include "SettingsTable.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

struct ChatSettings
{
    std::array<QString, Settings::Count> values;

    static constexpr int Count = Settings::Count;
    static QString valueName(int index);
    QString &value(int index) { return values[size_t(index)]; }
    const QString &value(int index) const { return values[size_t(index)]; }
    QString &operator[](Settings::Key key) { return value(key.index()); }
    const QString &operator[](Settings::Key key) const { return value(key.index()); }

    // Every value at its default.
    static ChatSettings defaults();
    static QString flagText(bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); }
    // A flag is its text taken as a whole number ("01" and " 1" are 1): any
    // number but 0 is on; a text that is no number is off.
    static bool flagOn(const QString &text);

    bool operator==(const ChatSettings &) const = default;
};

namespace Settings {

QString defaultText(Key key);
// The stored number kept within the row's range; the default when the text
// is no number.
int number(Key key, const QString &text);
// The stored encoding's name when it is one of the choices this machine
// offers, otherwise the default.
QString encoding(Key key, const QString &text);
// The entries of a list, empty ones dropped.
QStringList list(const QString &text);
QString listText(const QStringList &entries);
// The remembered servers with server first: trimmed, earlier mentions of it
// in any case dropped, at most MaxRemembered. A text that cannot be a
// server (empty, or holding ";" or a space) is not added.
constexpr int MaxRemembered = 10;
QStringList remembered(QStringList servers, const QString &server);
// A stored text as it is kept and saved again: flags as "1" or "0", numbers
// within range, encodings offered; texts and lists as they are.
QString normalised(Key key, const QString &text);

// The choices this machine offers: the default, and each encoding that Qt
// converts both ways here.
QList<Choice> offeredChoices(Key key);

// The control's caption as a screen reader names it: without the "&".
QString accessibleName(const Row &row);

} // namespace Settings
