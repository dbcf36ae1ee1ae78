#pragma once
// One row per persisted setting: the name it is stored under, its kind, the
// text of its default, its range or choices, and where and how it shows.
// The store (UserFile), the reads of SettingsAccess, the dialogs' live values
// and the rows of the Options dialog all come from this table, so a new
// setting is one row here plus the code that uses it.
//
// A setting is named in code by its stored name, checked while compiling:
// settings.flag("AntiIdle") compiles, settings.flag("AntiIdel") and
// settings.flag("HomeChan") (a text, not a flag) do not.

#include <array>
#include <iterator>
#include <string_view>

namespace Settings {

enum class Kind {
    Text,     // any text; an empty one takes the default
    Flag,     // stored "1" for on, "0" for off; any whole number but 0 reads as on
    Number,   // a whole number kept within [min, max]
    Encoding, // a text encoding's name, one of the choices; one that Qt cannot
              // convert here, or any other text, reads as the default
    List,     // entries joined by ";"; may be empty
};

// Where a setting's live value is held and shown.
enum class Place {
    Login,     // the login dialog, laid out by hand (server field, name, password)
    Options,   // a row of the Options dialog, built from this table in table order
    Store,     // only in the store: written as soon as it changes
};

struct Choice {
    std::string_view stored;    // the stored text: the encoding's name for Qt's converters
    std::string_view caption;   // as the choice shows in its list
};

struct Row {
    std::string_view name;          // the value's name in the store
    Kind kind;
    std::string_view defaultText;   // the default as stored
    Place place;
    std::string_view caption = {};  // label or check box text in Options ("&" marks the access key)
    std::string_view control = {};  // the object name of its control in its dialog
    int min = 0, max = 0, step = 0;           // Number
    std::array<Choice, 4> choices = {};       // Encoding; unused entries stay empty
};

// Table order is the order of the Options dialog's rows; the store reads and
// writes the values by name, so the order is free.
inline constexpr Row Table[] = {
    {.name = "UserName", .kind = Kind::Text, .defaultText = "Anonymous", .place = Place::Login,
     .caption = "Username:", .control = "txtUserN"},
    {.name = "PassWord", .kind = Kind::Text, .defaultText = "Wanderers", .place = Place::Login,
     .caption = "Password:", .control = "txtPassW"},
    // Entry 11 of the built-in server list (ServerList::defaultServer()).
    {.name = "Server", .kind = Kind::Text, .defaultText = "useast.battle.net", .place = Place::Login,
     .caption = "Server", .control = "cmbServers"},
    {.name = "AntiIdle", .kind = Kind::Flag, .defaultText = "1", .place = Place::Options,
     .caption = "&Anti-Idle", .control = "chkAI"},
    {.name = "HomeChan", .kind = Kind::Text, .defaultText = "Bounty Hunters", .place = Place::Options,
     .caption = "Home Channel:", .control = "txtHomeChan"},
    {.name = "JoinLeave", .kind = Kind::Flag, .defaultText = "1", .place = Place::Options,
     .caption = "User Join/Leave Notify", .control = "chkUJ"},
    {.name = "AutoReconnect", .kind = Kind::Flag, .defaultText = "1", .place = Place::Options,
     .caption = "Auto &Reconnect", .control = "chkRC"},
    {.name = "IdleMessage", .kind = Kind::Text, .defaultText = "/w anonymous Anti-Idle Quillon 2.2",
     .place = Place::Options, .caption = "Idle Message:", .control = "txtIdle"},
    // Lines a transcript pane keeps before the oldest go.
    {.name = "ScrollbackLines", .kind = Kind::Number, .defaultText = "20000", .place = Place::Options,
     .caption = "Scrollback lines:", .control = "spnScrollback", .min = 1000, .max = 1000000, .step = 1000},
    // Whether every transcript line also goes to the daily log file.
    {.name = "ContinuousLog", .kind = Kind::Flag, .defaultText = "1", .place = Place::Options,
     .caption = "Keep a daily log", .control = "chkLog"},
    // Whether events worth attention raise a desktop notification.
    {.name = "Notifications", .kind = Kind::Flag, .defaultText = "1", .place = Place::Options,
     .caption = "Desktop notifications", .control = "chkNotify"},
    // Servers that logged on, the latest first; the login dialog lists them
    // above the server list.
    {.name = "RecentServers", .kind = Kind::List, .defaultText = "", .place = Place::Store},
    // The encoding of the text sent, and of received lines that are not UTF-8.
    {.name = "TextEncoding", .kind = Kind::Encoding, .defaultText = "UTF-8", .place = Place::Options,
     .caption = "Text encoding:", .control = "cmbEncoding",
     .choices = {{{"UTF-8", "Unicode (UTF-8)"}, {"windows-1252", "Western (Windows-1252)"},
                  {"windows-1250", "Central European (Windows-1250)"}, {"windows-1251", "Cyrillic (Windows-1251)"}}}},
};

inline constexpr int Count = int(std::size(Table));

// A setting, found by its stored name while compiling.
class Key
{
public:
    consteval Key(const char *name) : m_index(find(name)) {}
    // Each setting in table order, for code that walks them all.
    static constexpr Key at(int index) { return Key(index); }

    constexpr int index() const { return m_index; }
    constexpr const Row &row() const { return Table[m_index]; }
    constexpr bool operator==(const Key &) const = default;

protected:
    consteval Key(const char *name, Kind kind) : m_index(find(name))
    {
        if (Table[m_index].kind != kind)
            throw "this setting is of another kind";   // not a constant: compiling stops here
    }

private:
    constexpr explicit Key(int index) : m_index(index) {}
    static consteval int find(std::string_view name)
    {
        for (int i = 0; i < Count; ++i) {
            if (Table[i].name == name)
                return i;
        }
        throw "no setting of that name";
    }

    int m_index;
};

// Keys that must name a setting of one kind.
struct FlagKey : Key { consteval FlagKey(const char *name) : Key(name, Kind::Flag) {} };
struct NumberKey : Key { consteval NumberKey(const char *name) : Key(name, Kind::Number) {} };
struct EncodingKey : Key { consteval EncodingKey(const char *name) : Key(name, Kind::Encoding) {} };
struct ListKey : Key { consteval ListKey(const char *name) : Key(name, Kind::List) {} };

} // namespace Settings
