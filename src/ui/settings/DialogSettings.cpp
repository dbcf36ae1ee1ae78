#include "DialogSettings.h"

#include "LoginDialog.h"
#include "OptionsDialog.h"
#include "settings/ServerList.h"

#include <QDialog>

#include <algorithm>
#include <optional>

DialogSettings::DialogSettings(SettingsHooks hooks, QObject *parent)
    : QObject(parent)
    , m_hooks(std::move(hooks))
    , m_file([this](const QString &text) {
        if (m_hooks.reportProblem)
            m_hooks.reportProblem(text);
    })
{
}

DialogSettings::~DialogSettings() = default;

// ---- creation and filling ----

void DialogSettings::fillServerList(LoginForm &form)
{
    form.cmbServers = ServerList::withRemembered(list("RecentServers"), ServerList::read());
}

// Each value of the rows shown in one dialog, as it is kept and saved again.
static void fillFields(ChatSettings &fields, const ChatSettings &record, Settings::Place place)
{
    for (int i = 0; i < Settings::Count; ++i) {
        const Settings::Key key = Settings::Key::at(i);
        if (key.row().place == place)
            fields[key] = Settings::normalised(key, record[key]);
    }
}

void DialogSettings::createLogin()
{
    m_login = std::make_unique<LoginForm>();
    fillServerList(*m_login);
    fillLogin(m_file.LoadSettings());
}

void DialogSettings::createOptions()
{
    m_options = std::make_unique<OptionsForm>();
    fillOptions(m_file.LoadSettings());
}

LoginForm &DialogSettings::login()
{
    if (!m_login)
        createLogin();
    return *m_login;
}

OptionsForm &DialogSettings::options()
{
    if (!m_options)
        createOptions();
    return *m_options;
}

void DialogSettings::fillLogin(const ChatSettings &record)
{
    fillFields(m_login->fields, record, Settings::Place::Login);
    emit loginFieldsChanged();
}

void DialogSettings::fillOptions(const ChatSettings &record)
{
    // Through setText, so that a stored anti-idle switch starts anti-idle.
    setText("AntiIdle", record["AntiIdle"]);
    fillFields(m_options->fields, record, Settings::Place::Options);
    emit optionsFieldsChanged();
}

// ---- the operations ----

void DialogSettings::InitServ()
{
    LoginForm &form = login();
    fillServerList(form);
    form.fields["Server"] = form.cmbServers.value(0);
    emit loginFieldsChanged();
}

void DialogSettings::LoadSettings()
{
    const ChatSettings record = m_file.LoadSettings();
    if (!m_login) {
        m_login = std::make_unique<LoginForm>();
        fillServerList(*m_login);
    }
    if (!m_options)
        m_options = std::make_unique<OptionsForm>();
    fillLogin(record);
    fillOptions(record);
}

void DialogSettings::SaveSettings()
{
    // Copy what exists before a discarded state is created again, so that
    // nothing the creation does can change the values about to be saved.
    std::optional<LoginForm> loginFields;
    std::optional<OptionsForm> optionFields;
    if (m_login)
        loginFields = *m_login;
    if (m_options)
        optionFields = *m_options;
    if (!loginFields)
        loginFields = login();
    if (!optionFields)
        optionFields = options();

    ChatSettings record;
    for (int i = 0; i < Settings::Count; ++i) {
        const Settings::Key key = Settings::Key::at(i);
        if (key.row().place == Settings::Place::Login)
            record[key] = loginFields->fields[key];
        else if (key.row().place == Settings::Place::Options)
            record[key] = optionFields->fields[key];
    }
    m_file.SaveSettings(record);
}

// ---- the dialogs ----

int DialogSettings::execLoginDialog(QWidget *parent)
{
    if (m_loginDialog)
        return QDialog::Rejected;
    login();
    QPointer<LoginDialog> dialog = new LoginDialog(*this, parent);
    m_loginDialog = dialog;
    connect(dialog, &LoginDialog::loginClicked, this, &DialogSettings::confirmLogin);
    connect(dialog, &LoginDialog::cancelClicked, this, &DialogSettings::closeLogin);
    const int result = dialog->exec();
    delete dialog;   // null when the parent went first
    m_loginDialog = nullptr;
    m_login.reset();
    return result;
}

int DialogSettings::execOptionsDialog(QWidget *parent)
{
    if (m_optionsDialog)
        return QDialog::Rejected;
    options();
    QPointer<OptionsDialog> dialog = new OptionsDialog(*this, parent);
    m_optionsDialog = dialog;
    connect(dialog, &OptionsDialog::saveClicked, this, &DialogSettings::confirmOptions);
    connect(dialog, &OptionsDialog::cancelClicked, this, &DialogSettings::closeOptions);
    const int result = dialog->exec();
    delete dialog;
    m_optionsDialog = nullptr;
    m_options.reset();
    return result;
}

void DialogSettings::confirmLogin()
{
    SaveSettings();
    LoadSettings();
    if (m_hooks.login)
        m_hooks.login();
    if (m_loginDialog)
        m_loginDialog->done(QDialog::Accepted);   // the state goes when exec returns
    else
        m_login.reset();
}

void DialogSettings::closeLogin()
{
    if (m_loginDialog)
        m_loginDialog->done(QDialog::Rejected);
    else
        m_login.reset();
}

void DialogSettings::confirmOptions()
{
    SaveSettings();
    LoadSettings();
    if (m_hooks.optionsSaved)
        m_hooks.optionsSaved();
    if (m_optionsDialog)
        m_optionsDialog->done(QDialog::Accepted);
    else
        m_options.reset();
}

void DialogSettings::closeOptions()
{
    if (m_optionsDialog)
        m_optionsDialog->done(QDialog::Rejected);
    else
        m_options.reset();
}

void DialogSettings::closeDialogs()
{
    if (m_loginDialog)
        m_loginDialog->done(QDialog::Rejected);
    if (m_optionsDialog)
        m_optionsDialog->done(QDialog::Rejected);
    m_login.reset();
    m_options.reset();
}

// ---- field edits ----

void DialogSettings::selectServer(int index)
{
    LoginForm &form = login();
    if (index < 0 || index >= form.cmbServers.size())
        return;
    setText("Server", form.cmbServers.at(index));
}

void DialogSettings::setText(Settings::Key key, const QString &text)
{
    const QString value = Settings::normalised(key, text);
    switch (key.row().place) {
    case Settings::Place::Login:
        login().fields[key] = value;
        emit loginFieldsChanged();
        return;
    case Settings::Place::Options: {
        QString &field = options().fields[key];
        const bool wasOn = ChatSettings::flagOn(field);
        field = value;
        // Anti-idle starts and stops with its box, saved or not.
        if (key == Settings::Key("AntiIdle") && ChatSettings::flagOn(value) != wasOn) {
            if (wasOn && m_hooks.stopAI)
                m_hooks.stopAI();
            else if (!wasOn && m_hooks.initAI)
                m_hooks.initAI();
        }
        emit optionsFieldsChanged();
        return;
    }
    case Settings::Place::Store:
        keep(key, value);
        return;
    }
}

void DialogSettings::setFontSize(int points)
{
    points = std::clamp(points, int(OptionsForm::MinFontSize), int(OptionsForm::MaxFontSize));
    OptionsForm &form = options();
    if (form.scrFSize == points)
        return;
    form.scrFSize = points;
    if (m_hooks.setChatFontSize)
        m_hooks.setChatFontSize(points);
    emit optionsFieldsChanged();
}

void DialogSettings::setUnavailable(Settings::Key key, const QString &reason)
{
    if (reason.isEmpty())
        m_unavailable.remove(key.index());
    else
        m_unavailable.insert(key.index(), reason);
    emit optionsFieldsChanged();
}

const LoginForm &DialogSettings::loginForm()
{
    return login();
}

const OptionsForm &DialogSettings::optionsForm()
{
    return options();
}

// ---- SettingsAccess ----

QString DialogSettings::text(Settings::Key key)
{
    switch (key.row().place) {
    case Settings::Place::Login:
        return login().fields[key];
    case Settings::Place::Options:
        return options().fields[key];
    case Settings::Place::Store:
        break;
    }
    return m_file.LoadSettings()[key];
}

void DialogSettings::keep(Settings::Key key, const QString &text)
{
    m_file.SaveValue(key, text);
    if (m_login && key == Settings::Key("RecentServers")) {
        fillServerList(*m_login);
        emit loginFieldsChanged();
    }
}
