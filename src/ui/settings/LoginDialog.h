#pragma once
// frmLogin: picks or takes a typed server and takes the credentials. Its fields live in
// DialogSettings; the dialog shows them and passes edits back at once.

#include <QDialog>

class DialogSettings;
class QComboBox;
class QLineEdit;
class QPushButton;

class LoginDialog : public QDialog
{
    Q_OBJECT
public:
    explicit LoginDialog(DialogSettings &settings, QWidget *parent = nullptr);

signals:
    void loginClicked();
    void cancelClicked();

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh();

    DialogSettings &m_settings;
    QComboBox *m_cmbServers;
    QLineEdit *m_txtUserN;
    QLineEdit *m_txtPassW;
    QPushButton *m_cmdLogin;
    QPushButton *m_cmdCancel;
};
