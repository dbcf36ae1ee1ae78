#pragma once
// frmOptions: a row for each setting of the table that shows in Options
// (Settings::Place::Options), in table order, and the font size of the upper
// transcript pane beside them. Its fields live in DialogSettings; the dialog
// shows them and passes edits back at once.

#include "settings/SettingsTable.h"

#include <QDialog>

class DialogSettings;
class QLabel;
class QPushButton;
class QScrollBar;

class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionsDialog(DialogSettings &settings, QWidget *parent = nullptr);

signals:
    void saveClicked();
    void cancelClicked();

private:
    // The control of one setting: a check box for a flag, a field with its
    // label for a text, a spin box over the range for a number, a list of the
    // offered choices for an encoding.
    QWidget *createControl(Settings::Key key);
    void connectControl(Settings::Key key, QWidget *control);
    void showValue(Settings::Key key, QWidget *control, const QString &text);
    void refresh();

    DialogSettings &m_settings;
    QWidget *m_controls[Settings::Count] = {};   // by table index; null outside Options
    QLabel *m_notes[Settings::Count] = {};       // why a control is disabled
    QPushButton *m_cmdSave;
    QPushButton *m_cmdCanc;
    QScrollBar *m_scrFSize;
    QLabel *m_lblFSize;
};
