#include "OptionsDialog.h"

#include "DialogSettings.h"
#include "DialogStyle.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>

OptionsDialog::OptionsDialog(DialogSettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_chkAI(new QCheckBox(QStringLiteral("&Anti-Idle"), this))
    , m_txtHomeChan(new QLineEdit(this))
    , m_cmdSave(new QPushButton(QStringLiteral("&Save"), this))
    , m_cmdCanc(new QPushButton(QStringLiteral("&Cancel"), this))
    , m_chkUJ(new QCheckBox(QStringLiteral("User Join/Leave Notify"), this))
    , m_chkRC(new QCheckBox(QStringLiteral("Auto &Reconnect"), this))
    , m_scrFSize(new QScrollBar(Qt::Vertical, this))
    , m_lblFSize(new QLabel(this))
    , m_txtIdle(new QLineEdit(this))
    , m_spnScrollback(new QSpinBox(this))
    , m_chkLog(new QCheckBox(QStringLiteral("Keep a daily log"), this))
    , m_chkNotify(new QCheckBox(QStringLiteral("Desktop notifications"), this))
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);
    DialogStyle::apply(this);

    m_chkAI->setObjectName(QStringLiteral("chkAI"));
    m_txtHomeChan->setObjectName(QStringLiteral("txtHomeChan"));
    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    m_cmdSave->setDefault(true);
    m_cmdCanc->setObjectName(QStringLiteral("cmdCanc"));
    m_chkUJ->setObjectName(QStringLiteral("chkUJ"));
    m_chkRC->setObjectName(QStringLiteral("chkRC"));
    m_scrFSize->setObjectName(QStringLiteral("scrFSize"));
    m_scrFSize->setRange(OptionsForm::MinFontSize, OptionsForm::MaxFontSize);
    m_scrFSize->setSingleStep(1);
    m_scrFSize->setPageStep(1);
    m_scrFSize->setFocusPolicy(Qt::StrongFocus);
    m_lblFSize->setObjectName(QStringLiteral("lblFSize"));
    m_txtIdle->setObjectName(QStringLiteral("txtIdle"));
    m_spnScrollback->setObjectName(QStringLiteral("spnScrollback"));
    m_spnScrollback->setRange(ChatSettings::MinScrollback, ChatSettings::MaxScrollback);
    m_spnScrollback->setSingleStep(1000);
    m_chkLog->setObjectName(QStringLiteral("chkLog"));
    m_chkNotify->setObjectName(QStringLiteral("chkNotify"));

    auto *lblHomeChan = new QLabel(QStringLiteral("Home Channel:"), this);
    lblHomeChan->setObjectName(QStringLiteral("lblHomeChan"));
    lblHomeChan->setBuddy(m_txtHomeChan);
    auto *lblFontSize = new QLabel(QStringLiteral("Window Font Size"), this);
    lblFontSize->setObjectName(QStringLiteral("lblFontSize"));
    auto *lblIdle = new QLabel(QStringLiteral("Idle Message:"), this);
    lblIdle->setObjectName(QStringLiteral("lblIdle"));
    lblIdle->setBuddy(m_txtIdle);
    auto *lblScrollback = new QLabel(QStringLiteral("Scrollback lines:"), this);
    lblScrollback->setObjectName(QStringLiteral("lblScrollback"));
    lblScrollback->setBuddy(m_spnScrollback);

    auto *grid = new QGridLayout(this);
    grid->addWidget(m_chkAI, 0, 0, 1, 2);
    grid->addWidget(lblHomeChan, 1, 0);
    grid->addWidget(m_txtHomeChan, 1, 1);
    grid->addWidget(m_chkUJ, 2, 0, 1, 2);
    grid->addWidget(m_chkRC, 3, 0, 1, 2);
    grid->addWidget(lblIdle, 4, 0);
    grid->addWidget(m_txtIdle, 4, 1);
    grid->addWidget(lblScrollback, 5, 0);
    grid->addWidget(m_spnScrollback, 5, 1);
    grid->addWidget(m_chkLog, 6, 0, 1, 2);
    grid->addWidget(m_chkNotify, 7, 0, 1, 2);
    auto *fontColumn = new QHBoxLayout;
    fontColumn->addWidget(m_scrFSize);
    fontColumn->addWidget(m_lblFSize);
    grid->addWidget(lblFontSize, 0, 2);
    grid->addLayout(fontColumn, 1, 2, 4, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(m_cmdCanc);
    grid->addLayout(buttons, 8, 0, 1, 3);
    grid->setColumnStretch(1, 1);

    setTabOrder(m_chkAI, m_txtHomeChan);
    setTabOrder(m_txtHomeChan, m_cmdSave);
    setTabOrder(m_cmdSave, m_cmdCanc);
    setTabOrder(m_cmdCanc, m_chkUJ);
    setTabOrder(m_chkUJ, m_chkRC);
    setTabOrder(m_chkRC, m_scrFSize);
    setTabOrder(m_scrFSize, m_txtIdle);
    setTabOrder(m_txtIdle, m_spnScrollback);
    setTabOrder(m_spnScrollback, m_chkLog);
    setTabOrder(m_chkLog, m_chkNotify);

    connect(m_chkAI, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setAntiIdleChecked(on); });
    connect(m_txtHomeChan, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_settings.setHomeChan(text); });
    connect(m_chkUJ, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setJoinLeaveChecked(on); });
    connect(m_chkRC, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setAutoReconnect(on); });
    connect(m_scrFSize, &QScrollBar::valueChanged, this,
            [this](int value) { m_settings.setFontSize(value); });
    connect(m_txtIdle, &QLineEdit::textEdited, this,
            [this](const QString &text) { m_settings.setIdleMessage(text); });
    connect(m_spnScrollback, &QSpinBox::valueChanged, this,
            [this](int lines) { m_settings.setScrollbackLines(lines); });
    connect(m_chkLog, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setContinuousLogChecked(on); });
    connect(m_chkNotify, &QCheckBox::toggled, this,
            [this](bool on) { m_settings.setNotificationsChecked(on); });
    connect(m_cmdSave, &QPushButton::clicked, this, &OptionsDialog::saveClicked);
    connect(m_cmdCanc, &QPushButton::clicked, this, &OptionsDialog::cancelClicked);
    connect(&m_settings, &DialogSettings::optionsFieldsChanged, this, &OptionsDialog::refresh);

    m_settings.optionsForm();   // showing the dialog is a use of its fields: re-create them if discarded
    refresh();
}

// Shows the state's values; signals are blocked so that showing a value is
// not taken for an edit, and unchanged texts keep their cursor.
void OptionsDialog::refresh()
{
    const OptionsForm *form = m_settings.existingOptions();
    if (!form)
        return;
    const QSignalBlocker b1(m_chkAI), b2(m_chkUJ), b3(m_chkRC), b4(m_scrFSize),
        b5(m_spnScrollback), b6(m_chkLog), b7(m_chkNotify);
    m_chkAI->setChecked(form->chkAI);
    if (m_txtHomeChan->text() != form->txtHomeChan)
        m_txtHomeChan->setText(form->txtHomeChan);
    m_chkUJ->setChecked(form->chkUJ);
    m_chkRC->setChecked(form->chkRC);
    m_scrFSize->setValue(form->scrFSize);
    m_lblFSize->setText(QString::number(form->scrFSize));
    if (m_txtIdle->text() != form->txtIdle)
        m_txtIdle->setText(form->txtIdle);
    m_spnScrollback->setValue(form->spnScrollback);
    m_chkLog->setChecked(form->chkLog);
    m_chkNotify->setChecked(form->chkNotify);
}
