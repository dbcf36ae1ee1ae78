#include "LoginDialog.h"

#include "DialogSettings.h"
#include "DialogStyle.h"
#include "settings/ServerList.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QCoreApplication>
#include <QShowEvent>
#include <QPushButton>
#include <QSignalBlocker>

LoginDialog::LoginDialog(DialogSettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_cmbServers(new QComboBox(this))
    , m_txtUserN(new QLineEdit(this))
    , m_txtPassW(new QLineEdit(this))
    , m_cmdLogin(new QPushButton(QStringLiteral("&Login"), this))
    , m_cmdCancel(new QPushButton(QStringLiteral("&Cancel"), this))
{
    setObjectName(QStringLiteral("frmLogin"));
    setWindowTitle(QStringLiteral("Login"));
    setModal(true);
    DialogStyle::apply(this);

    // A listed entry, or a host name or address typed in, with ":port" or without.
    m_cmbServers->setEditable(true);
    m_cmbServers->setInsertPolicy(QComboBox::NoInsert);
    m_txtPassW->setEchoMode(QLineEdit::Password);
    m_cmdLogin->setObjectName(QStringLiteral("cmdLogin"));
    m_cmdLogin->setAccessibleName(QStringLiteral("Login"));
    m_cmdLogin->setDefault(true);
    m_cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    m_cmdCancel->setAccessibleName(QStringLiteral("Cancel"));

    // Names and captions from the settings table.
    const auto setUp = [](QWidget *field, Settings::Key key) {
        field->setObjectName(QString::fromUtf8(key.row().control.data(), qsizetype(key.row().control.size())));
        field->setAccessibleName(Settings::accessibleName(key.row()));
    };
    setUp(m_cmbServers, "Server");
    setUp(m_txtUserN, "UserName");
    setUp(m_txtPassW, "PassWord");
    auto *lblUserN = new QLabel(m_txtUserN->accessibleName(), this);
    lblUserN->setObjectName(QStringLiteral("lblUserN"));
    lblUserN->setBuddy(m_txtUserN);
    auto *lblPassW = new QLabel(m_txtPassW->accessibleName(), this);
    lblPassW->setObjectName(QStringLiteral("lblPassW"));
    lblPassW->setBuddy(m_txtPassW);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_cmbServers, 0, 0, 1, 2);
    grid->addWidget(lblUserN, 1, 0);
    grid->addWidget(m_txtUserN, 1, 1);
    grid->addWidget(lblPassW, 2, 0);
    grid->addWidget(m_txtPassW, 2, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdLogin);
    buttons->addWidget(m_cmdCancel);
    grid->addLayout(buttons, 3, 0, 1, 2);

    setTabOrder(m_cmbServers, m_txtUserN);
    setTabOrder(m_txtUserN, m_txtPassW);
    setTabOrder(m_txtPassW, m_cmdLogin);
    setTabOrder(m_cmdLogin, m_cmdCancel);

    connect(m_cmbServers, &QComboBox::activated, this,
            [this](int index) { m_settings.selectServer(index); });
    connect(m_cmbServers->lineEdit(), &QLineEdit::textEdited, this,
            [this](const QString &text) { m_settings.setText("Server", text); });
    connect(m_txtUserN, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_settings.setUserName(text); });
    connect(m_txtPassW, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_settings.setPassword(text); });
    connect(m_cmdLogin, &QPushButton::clicked, this, &LoginDialog::loginClicked);
    connect(m_cmdCancel, &QPushButton::clicked, this, &LoginDialog::cancelClicked);
    connect(&m_settings, &DialogSettings::loginFieldsChanged, this, &LoginDialog::refresh);

    m_settings.loginForm();   // showing the dialog is a use of its fields: re-create them if discarded
    refresh();
}

// Shows the state's values; unchanged texts are left alone so that typing
// keeps its cursor.
void LoginDialog::refresh()
{
    const LoginForm *form = m_settings.existingLogin();
    if (!form)
        return;
    const QSignalBlocker blockServers(m_cmbServers);
    QStringList shown;
    for (int i = 0; i < m_cmbServers->count(); ++i)
        shown << m_cmbServers->itemText(i);
    if (shown != form->cmbServers) {
        m_cmbServers->clear();
        m_cmbServers->addItems(form->cmbServers);
    }
    // The entry equal to the server is current (the last of equal ones);
    // a typed server that equals none shows as typed.
    const QString server = form->selectedServer();
    const int index = ServerList::preselect(form->cmbServers, server, -1);
    if (m_cmbServers->currentIndex() != index)
        m_cmbServers->setCurrentIndex(index);
    if (m_cmbServers->currentText() != server)
        m_cmbServers->setEditText(server);
    if (m_txtUserN->text() != form->fields["UserName"])
        m_txtUserN->setText(form->fields["UserName"]);
    if (m_txtPassW->text() != form->fields["PassWord"])
        m_txtPassW->setText(form->fields["PassWord"]);
}

void LoginDialog::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The password mask ("*") comes from the style sheet, which a line edit
    // reads only on a style change; under a parent with a style sheet of its
    // own the dialog is polished without one.
    QEvent styleChange(QEvent::StyleChange);
    QCoreApplication::sendEvent(m_txtPassW, &styleChange);
}
