#pragma once
// frmOptions: the home channel, the three switches, the idle message, the
// font size of the upper transcript pane, the scrollback length and the
// daily-log and notification switches. Its fields live in DialogSettings;
// the dialog shows them and passes edits back at once.

#include <QDialog>

class DialogSettings;
class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QSpinBox;

class OptionsDialog : public QDialog
{
    Q_OBJECT
public:
    explicit OptionsDialog(DialogSettings &settings, QWidget *parent = nullptr);

signals:
    void saveClicked();
    void cancelClicked();

private:
    void refresh();

    DialogSettings &m_settings;
    QCheckBox *m_chkAI;
    QLineEdit *m_txtHomeChan;
    QPushButton *m_cmdSave;
    QPushButton *m_cmdCanc;
    QCheckBox *m_chkUJ;
    QCheckBox *m_chkRC;
    QScrollBar *m_scrFSize;
    QLabel *m_lblFSize;
    QLineEdit *m_txtIdle;
    QSpinBox *m_spnScrollback;
    QCheckBox *m_chkLog;
    QCheckBox *m_chkNotify;
};
