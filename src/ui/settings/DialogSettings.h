#pragma once
// The live settings: the fields of the login dialog (server, user name,
// password) and of the options dialog (every row of the settings table that
// shows there).
// Each dialog's state exists hidden from start-up, is discarded when its
// dialog closes, and is created again, filled from the store, at the next
// use of any of its fields.

#include "DialogForms.h"
#include "settings/UserFile.h"
#include "settings/SettingsAccess.h"

#include <QHash>
#include <QObject>
#include <QPointer>

#include <functional>
#include <memory>

class QDialog;
class QWidget;

struct SettingsHooks
{
    std::function<void()> initAI;                     // chkAI became checked
    std::function<void()> stopAI;                     // chkAI became cleared
    std::function<void(int)> setChatFontSize;         // the font-size bar moved
    std::function<void(const QString &)> reportProblem;  // shown in red in the transcript
    std::function<void()> login;                      // "&Login" confirmed
    std::function<void()> optionsSaved{};             // "&Save" stored the options
};

class DialogSettings : public QObject, public SettingsAccess
{
    Q_OBJECT
public:
    explicit DialogSettings(SettingsHooks hooks, QObject *parent = nullptr);
    ~DialogSettings() override;

    // Refills the server list and selects its first entry.
    void InitServ();
    // Store to the fields of both dialogs.
    void LoadSettings();
    // The values both dialogs hold at the start, to the store.
    void SaveSettings();

    // Modal dialogs; both discard their state when they close.
    int execLoginDialog(QWidget *parent);
    int execOptionsDialog(QWidget *parent);
    // Closes an open dialog and discards both states (shutdown).
    void closeDialogs();

    // The dialogs' buttons, also driven by tests without a window.
    void confirmLogin();     // "&Login": save, load, log in, close
    void closeLogin();       // "&Cancel", or after "&Login"
    void confirmOptions();   // "&Save": save, load, close
    void closeOptions();     // "&Cancel", or after "&Save"

    // Field edits; each one creates a discarded state first. A value is
    // kept as it would be stored: flags "1" or "0", numbers within range.
    // Settings of Place::Store go to the store at once.
    void setText(Settings::Key key, const QString &text);   // "AntiIdle" calls initAI or stopAI at once
    void setFlag(Settings::FlagKey key, bool on) { setText(key, ChatSettings::flagText(on)); }
    void setNumber(Settings::NumberKey key, int n) { setText(key, QString::number(n)); }
    void selectServer(int index);
    void setFontSize(int points);        // calls setChatFontSize at once
    void setUserName(const QString &text) { setText("UserName", text); }
    void setPassword(const QString &text) { setText("PassWord", text); }
    void setHomeChan(const QString &text) { setText("HomeChan", text); }
    void setScrollbackLines(int lines) { setNumber("ScrollbackLines", lines); }
    void setContinuousLogChecked(bool on) { setFlag("ContinuousLog", on); }

    // A setting this desktop cannot honour shows disabled in Options, with
    // the reason beside it and as its tool tip; an empty reason enables it
    // again. The stored value is left alone.
    void setUnavailable(Settings::Key key, const QString &reason);
    QString unavailableReason(Settings::Key key) const { return m_unavailable.value(key.index()); }

    // Field reads; they create a discarded state first.
    const LoginForm &loginForm();
    const OptionsForm &optionsForm();
    // Whether a state exists now; never creates one.
    bool loginExists() const { return bool(m_login); }
    bool optionsExists() const { return bool(m_options); }
    const LoginForm *existingLogin() const { return m_login.get(); }
    const OptionsForm *existingOptions() const { return m_options.get(); }

    UserFile &userFile() { return m_file; }

    // SettingsAccess
    QString text(Settings::Key key) override;
    void keep(Settings::Key key, const QString &text) override;

signals:
    // A state was created or refilled; open dialogs show the new values.
    void loginFieldsChanged();
    void optionsFieldsChanged();

private:
    LoginForm &login();
    OptionsForm &options();
    // A new state is filled from the store; other existing states are left
    // as they are, so that edits in an open dialog survive.
    void createLogin();
    void createOptions();
    void fillServerList(LoginForm &form);
    void fillLogin(const ChatSettings &record);
    void fillOptions(const ChatSettings &record);

    SettingsHooks m_hooks;
    QHash<int, QString> m_unavailable;   // reasons by table index
    UserFile m_file;
    std::unique_ptr<LoginForm> m_login;
    std::unique_ptr<OptionsForm> m_options;
    QPointer<QDialog> m_loginDialog;
    QPointer<QDialog> m_optionsDialog;
};
