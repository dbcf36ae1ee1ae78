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

static void fillServerList(LoginForm &form)
{
    form.cmbServers = ServerList::read();
    form.selected = 0;
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
    m_login->txtUserN = record.UserName;
    m_login->txtPassW = record.PassWord;
    m_login->selected = ServerList::preselect(m_login->cmbServers, record.Server, m_login->selected);
    emit loginFieldsChanged();
}

void DialogSettings::fillOptions(const ChatSettings &record)
{
    m_options->txtHomeChan = record.HomeChan;
    setAntiIdleChecked(ChatSettings::flagOn(record.AntiIdle));
    m_options->chkUJ = ChatSettings::flagOn(record.JoinLeave);
    m_options->chkRC = ChatSettings::flagOn(record.AutoReconnect);
    m_options->txtIdle = record.IdleMessage;
    m_options->spnScrollback = ChatSettings::scrollbackLines(record.ScrollbackLines);
    m_options->chkLog = ChatSettings::flagOn(record.ContinuousLog);
    m_options->chkNotify = ChatSettings::flagOn(record.Notifications);
    emit optionsFieldsChanged();
}

// ---- the operations ----

void DialogSettings::InitServ()
{
    fillServerList(login());
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
    record.UserName = loginFields->txtUserN;
    record.PassWord = loginFields->txtPassW;
    record.Server = loginFields->selectedServer();
    record.HomeChan = optionFields->txtHomeChan;
    record.AntiIdle = ChatSettings::flagText(optionFields->chkAI);
    record.JoinLeave = ChatSettings::flagText(optionFields->chkUJ);
    record.AutoReconnect = ChatSettings::flagText(optionFields->chkRC);
    record.IdleMessage = optionFields->txtIdle;
    record.ScrollbackLines = QString::number(optionFields->spnScrollback);
    record.ContinuousLog = ChatSettings::flagText(optionFields->chkLog);
    record.Notifications = ChatSettings::flagText(optionFields->chkNotify);
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
    if (index < 0 || index >= form.cmbServers.size() || index == form.selected)
        return;
    form.selected = index;
    emit loginFieldsChanged();
}

void DialogSettings::setUserName(const QString &text)
{
    login().txtUserN = text;
    emit loginFieldsChanged();
}

void DialogSettings::setPassword(const QString &text)
{
    login().txtPassW = text;
    emit loginFieldsChanged();
}

void DialogSettings::setAntiIdleChecked(bool on)
{
    OptionsForm &form = options();
    if (form.chkAI == on)
        return;
    form.chkAI = on;
    if (on && m_hooks.initAI)
        m_hooks.initAI();
    else if (!on && m_hooks.stopAI)
        m_hooks.stopAI();
    emit optionsFieldsChanged();
}

void DialogSettings::setHomeChan(const QString &text)
{
    options().txtHomeChan = text;
    emit optionsFieldsChanged();
}

void DialogSettings::setJoinLeaveChecked(bool on)
{
    options().chkUJ = on;
    emit optionsFieldsChanged();
}

void DialogSettings::setIdleMessage(const QString &text)
{
    options().txtIdle = text;
    emit optionsFieldsChanged();
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

void DialogSettings::setScrollbackLines(int lines)
{
    options().spnScrollback = std::clamp(lines, ChatSettings::MinScrollback, ChatSettings::MaxScrollback);
    emit optionsFieldsChanged();
}

void DialogSettings::setContinuousLogChecked(bool on)
{
    options().chkLog = on;
    emit optionsFieldsChanged();
}

void DialogSettings::setNotificationsChecked(bool on)
{
    options().chkNotify = on;
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

QString DialogSettings::server() { return login().selectedServer(); }
QString DialogSettings::userName() { return login().txtUserN; }
QString DialogSettings::password() { return login().txtPassW; }
QString DialogSettings::homeChan() { return options().txtHomeChan; }
bool DialogSettings::antiIdle() { return options().chkAI; }
bool DialogSettings::joinLeave() { return options().chkUJ; }
bool DialogSettings::autoReconnect() { return options().chkRC; }
QString DialogSettings::idleMessage() { return options().txtIdle; }
int DialogSettings::scrollbackLines() { return options().spnScrollback; }
bool DialogSettings::continuousLog() { return options().chkLog; }
bool DialogSettings::notifications() { return options().chkNotify; }

void DialogSettings::setAutoReconnect(bool on)
{
    options().chkRC = on;
    emit optionsFieldsChanged();
}
