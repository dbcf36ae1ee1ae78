#pragma once
// The main window: hosts the panes, the roster, the input line and the
// buttons, and binds them to the chat session. It holds no protocol logic.

#include <QWidget>

class ChatSession;
class InterimSettings;
class QLabel;
class QListView;
class QPushButton;
class QComboBox;
class TranscriptPane;

class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(QWidget *parent = nullptr);
    ~MainWindow() override;

    ChatSession &session() { return *m_session; }
    TranscriptPane *txtChat() const { return m_txtChat; }
    TranscriptPane *txtChat2() const { return m_txtChat2; }

private:
    void buildLayout();
    void bindSession();
    void cmdConnectClicked();

    InterimSettings *m_settings;
    TranscriptPane *m_txtChat;
    TranscriptPane *m_txtChat2;
    QListView *m_lstUser;
    QLabel *m_lblChan;
    QLabel *m_lblChanCnt;
    QComboBox *m_txtSend;
    QPushButton *m_cmdConnect;
    ChatSession *m_session;
};
