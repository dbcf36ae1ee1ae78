#include "OptionsDialog.h"

#include "DialogSettings.h"
#include "DialogStyle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSpinBox>

static QString toQString(std::string_view text)
{
    return QString::fromUtf8(text.data(), qsizetype(text.size()));
}

OptionsDialog::OptionsDialog(DialogSettings &settings, QWidget *parent)
    : QDialog(parent)
    , m_settings(settings)
    , m_cmdSave(new QPushButton(QStringLiteral("&Save"), this))
    , m_cmdCanc(new QPushButton(QStringLiteral("&Cancel"), this))
    , m_scrFSize(new QScrollBar(Qt::Vertical, this))
    , m_lblFSize(new QLabel(this))
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(QStringLiteral("Options"));
    setModal(true);
    DialogStyle::apply(this);

    m_cmdSave->setObjectName(QStringLiteral("cmdSave"));
    m_cmdSave->setAccessibleName(QStringLiteral("Save"));
    m_cmdSave->setDefault(true);
    m_cmdCanc->setObjectName(QStringLiteral("cmdCanc"));
    m_cmdCanc->setAccessibleName(QStringLiteral("Cancel"));
    m_scrFSize->setObjectName(QStringLiteral("scrFSize"));
    m_scrFSize->setAccessibleName(QStringLiteral("Window Font Size"));
    m_scrFSize->setRange(OptionsForm::MinFontSize, OptionsForm::MaxFontSize);
    m_scrFSize->setSingleStep(1);
    m_scrFSize->setPageStep(1);
    m_scrFSize->setFocusPolicy(Qt::StrongFocus);
    m_lblFSize->setObjectName(QStringLiteral("lblFSize"));
    auto *lblFontSize = new QLabel(QStringLiteral("Window Font Size"), this);
    lblFontSize->setObjectName(QStringLiteral("lblFontSize"));

    // The settings down the left, each row's control after its label; the
    // Tab key walks them top to bottom, then the font size, then the buttons.
    auto *grid = new QGridLayout(this);
    int line = 0;
    QWidget *previous = nullptr;
    for (int i = 0; i < Settings::Count; ++i) {
        const Settings::Key key = Settings::Key::at(i);
        if (key.row().place != Settings::Place::Options)
            continue;
        QWidget *control = createControl(key);
        control->setObjectName(toQString(key.row().control));
        control->setAccessibleName(Settings::accessibleName(key.row()));
        if (key.row().kind == Settings::Kind::Flag) {
            grid->addWidget(control, line, 0, 1, 2);
        } else {
            auto *label = new QLabel(toQString(key.row().caption), this);
            label->setObjectName(QStringLiteral("lbl") + toQString(key.row().control).mid(3));
            label->setBuddy(control);
            grid->addWidget(label, line, 0);
            grid->addWidget(control, line, 1);
        }
        auto *note = new QLabel(this);   // under the control: its range, or why it is disabled
        note->setObjectName(QStringLiteral("lbl") + toQString(key.row().control).mid(3) + QStringLiteral("Note"));
        QFont small = note->font();
        small.setPointSizeF(small.pointSizeF() * 0.85);
        note->setFont(small);
        note->setWordWrap(true);
        note->hide();
        grid->addWidget(note, line + 1, 1);
        m_controls[i] = control;
        m_notes[i] = note;
        connectControl(key, control);
        if (previous)
            setTabOrder(previous, control);
        previous = control;
        line += 2;
    }
    auto *fontColumn = new QHBoxLayout;
    fontColumn->addWidget(m_scrFSize);
    fontColumn->addWidget(m_lblFSize);
    grid->addWidget(lblFontSize, 0, 2);
    grid->addLayout(fontColumn, 1, 2, 8, 1);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cmdSave);
    buttons->addWidget(m_cmdCanc);
    grid->addLayout(buttons, line, 0, 1, 3);
    grid->setColumnStretch(1, 1);
    if (previous)
        setTabOrder(previous, m_scrFSize);
    setTabOrder(m_scrFSize, m_cmdSave);
    setTabOrder(m_cmdSave, m_cmdCanc);

    connect(m_scrFSize, &QScrollBar::valueChanged, this,
            [this](int value) { m_settings.setFontSize(value); });
    connect(m_cmdSave, &QPushButton::clicked, this, &OptionsDialog::saveClicked);
    connect(m_cmdCanc, &QPushButton::clicked, this, &OptionsDialog::cancelClicked);
    connect(&m_settings, &DialogSettings::optionsFieldsChanged, this, &OptionsDialog::refresh);

    m_settings.optionsForm();   // showing the dialog is a use of its fields: re-create them if discarded
    refresh();
}

QWidget *OptionsDialog::createControl(Settings::Key key)
{
    const Settings::Row &row = key.row();
    switch (row.kind) {
    case Settings::Kind::Flag:
        return new QCheckBox(toQString(row.caption), this);
    case Settings::Kind::Number: {
        auto *spin = new QSpinBox(this);
        spin->setRange(row.min, row.max);
        spin->setSingleStep(row.step);
        return spin;
    }
    case Settings::Kind::Encoding: {
        auto *list = new QComboBox(this);
        for (const Settings::Choice &choice : Settings::offeredChoices(key))
            list->addItem(toQString(choice.caption), toQString(choice.stored));
        return list;
    }
    case Settings::Kind::Text:
    case Settings::Kind::List:
        break;
    }
    return new QLineEdit(this);
}

void OptionsDialog::connectControl(Settings::Key key, QWidget *control)
{
    if (auto *box = qobject_cast<QCheckBox *>(control)) {
        connect(box, &QCheckBox::toggled, this,
                [this, key](bool on) { m_settings.setText(key, ChatSettings::flagText(on)); });
    } else if (auto *spin = qobject_cast<QSpinBox *>(control)) {
        connect(spin, &QSpinBox::valueChanged, this,
                [this, key](int value) { m_settings.setText(key, QString::number(value)); });
    } else if (auto *list = qobject_cast<QComboBox *>(control)) {
        connect(list, &QComboBox::activated, this, [this, key, list](int index) {
            m_settings.setText(key, list->itemData(index).toString());
        });
    } else if (auto *field = qobject_cast<QLineEdit *>(control)) {
        connect(field, &QLineEdit::textEdited, this,
                [this, key](const QString &text) { m_settings.setText(key, text); });
    }
}

// Signals are blocked so that showing a value is not taken for an edit;
// an unchanged text keeps its cursor.
void OptionsDialog::showValue(Settings::Key key, QWidget *control, const QString &text)
{
    const QSignalBlocker blocker(control);
    if (auto *box = qobject_cast<QCheckBox *>(control))
        box->setChecked(ChatSettings::flagOn(text) && control->isEnabled());
    else if (auto *spin = qobject_cast<QSpinBox *>(control))
        spin->setValue(Settings::number(key, text));
    else if (auto *list = qobject_cast<QComboBox *>(control))
        list->setCurrentIndex(list->findData(Settings::encoding(key, text)));
    else if (auto *field = qobject_cast<QLineEdit *>(control); field && field->text() != text)
        field->setText(text);
}

// What the note under a control says while it is enabled: a number's range,
// "1,000 to 1,000,000", so that the limits are known before typing.
static QString usualNote(const Settings::Row &row)
{
    if (row.kind != Settings::Kind::Number)
        return QString();
    QLocale locale;
    locale.setNumberOptions(QLocale::DefaultNumberOptions);   // with group separators
    return QStringLiteral("%1 to %2").arg(locale.toString(row.min), locale.toString(row.max));
}

// Shows the state's values, and each unavailable setting disabled with its
// reason; a disabled switch shows off, whatever is stored.
void OptionsDialog::refresh()
{
    const OptionsForm *form = m_settings.existingOptions();
    if (!form)
        return;
    for (int i = 0; i < Settings::Count; ++i) {
        if (!m_controls[i])
            continue;
        const Settings::Key key = Settings::Key::at(i);
        const QString reason = m_settings.unavailableReason(key);
        const QString note = reason.isEmpty() ? usualNote(key.row()) : reason;
        m_controls[i]->setEnabled(reason.isEmpty());
        m_controls[i]->setToolTip(note);
        m_notes[i]->setText(note);
        m_notes[i]->setVisible(!note.isEmpty());
        showValue(key, m_controls[i], form->fields[key]);
    }
    const QSignalBlocker blockFontSize(m_scrFSize);
    m_scrFSize->setValue(form->scrFSize);
    m_lblFSize->setText(QString::number(form->scrFSize));
}
