#pragma once
// The main window: owns the chat session, the live settings, the send path,
// the roster commands, the anti-idle timers and the daily log for the whole
// run, hosts the panes, the find bar, the roster, the input line and the six
// buttons, and routes the buttons to the parts that do the work. The window
// itself holds only the chrome: start-up and shutdown order, the title, the
// hover effect and window moving.

#include "Attention.h"
#include "HoverState.h"
#include "ShellPrompts.h"
#include "chat/ChatSession.h"

#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <memory>

class AboutDialog;
class ConversationArea;
class ConversationModel;
class ConversationTap;
class FriendsView;
class AntiIdle;
class DailyLog;
class DesktopNotifier;
class DialogSettings;
class FindBar;
class InputLine;
class QLabel;
class QListView;
class QMenu;
class QPushButton;
class RosterCommands;
class SendPath;
class TeeSink;
class TranscriptPane;

class MainWindow : public QWidget
{
    Q_OBJECT
public:
    explicit MainWindow(ShellPrompts prompts = {}, QWidget *parent = nullptr);
    ~MainWindow() override;

    ChatSession &session() { return *m_session; }
    DialogSettings &settings() { return *m_settings; }
    AntiIdle &antiIdle() { return *m_antiIdle; }
    TranscriptPane *txtChat() const { return m_txtChat; }
    TranscriptPane *txtChat2() const { return m_txtChat2; }
    InputLine *txtSend() const { return m_txtSend; }
    FindBar *findBar() const { return m_findBar; }
    DailyLog &dailyLog() { return *m_dailyLog; }
    DesktopNotifier &notifier() { return *m_notifier; }
    ConversationModel &conversations() { return *m_conversations; }
    ConversationArea *conversationArea() const { return m_area; }
    FriendsView *friendsView() const { return m_friendsView; }

    // cmdSaveLog: asks for a file name and writes the chat log.
    void SaveLog();

protected:
    void closeEvent(QCloseEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    enum Button { Connect, Send, Options, About, SaveLogButton, Exit };

    void buildChrome();
    void buildLayout();
    void bindSession();
    void bindButtons();
    void bindSendQueue();
    // The connect button's caption, the title and the channel label follow
    // the connection.
    void showState(ChatSession::State state);
    void showOwnName(const QString &name);
    void showChannel(ChatSession::ChannelState state, const QString &channel);
    void startUp();
    // Names for screen readers, and the Tab order along the layout.
    void nameForScreenReaders();
    void orderTabs();
    // The size and place of the last run when they fit the screen, else the
    // default size centred; never larger than the screen's available area.
    void fitToScreen();
    void rememberPlace();
    // The roster's menu for the selected row, from the keyboard.
    void popUpRosterMenu();
    // Marks in the daily log: connections and disconnections.
    void markConnection(ChatSession::State state);

    // Whisper tabs over the upper pane and the friends list beside the roster.
    void bindConversations();
    void showConversation(const QString &user);
    // The last lines of the newest daily log, in grey, before connecting.
    void showDayHistory();

    // All-day use: the daily log behind both panes, the find bar, Tab
    // completion, the scrollback limit and the alerts.
    void buildAllDayParts();
    void bindAllDayUse();
    void applyAllDayOptions();
    void logRun(const QString &txt);
    void showLogFailure(const QString &message);
    void showAlert(const QString &from, const QString &text);
    void alertsSeen();
    // The one place the title is composed: the connection's part with the
    // count of unseen alerts in front.
    void setTitleBase(const QString &base);

    void cmdConnectClicked();
    void cmdSendClicked();
    void cmdOptionsClicked();
    void cmdAboutClicked();
    void popUpAt(QMenu *menu, QWidget *anchor);
    void reportSettingsProblem(const QString &text);

    // The background, Label1, Label2, lblChan and lblChanCnt move the window.
    bool isDragSurface(const QWidget *child) const;
    void applyHover();

    ShellPrompts m_prompts;

    TranscriptPane *m_txtChat;
    TranscriptPane *m_txtChat2;
    QListView *m_lstUser;
    QLabel *m_lblChan;
    QLabel *m_lblChanCnt;
    QLabel *m_label1;
    QLabel *m_label2;
    InputLine *m_txtSend;
    QLabel *m_lblWaiting;
    FindBar *m_findBar = nullptr;
    ConversationArea *m_area = nullptr;
    FriendsView *m_friendsView = nullptr;
    std::array<QPushButton *, HoverState::ButtonCount> m_buttons{};

    // Declared in the order they are built: each one refers only to the
    // ones above it and to the widgets, and they go in reverse order, before
    // the widgets. The settings' hooks reach the timers only once start-up runs.
    // The daily log outlives everything that writes to the panes through its
    // tee sinks, and flushes when it goes.
    std::unique_ptr<DailyLog> m_dailyLog;
    std::unique_ptr<TeeSink> m_upperSink;
    std::unique_ptr<TeeSink> m_lowerSink;
    // The whisper tabs; the tap sits in front of the upper sink and copies a
    // whisper's runs to its conversation.
    std::unique_ptr<ConversationModel> m_conversations;
    std::unique_ptr<ConversationTap> m_upperTap;
    std::unique_ptr<DialogSettings> m_settings;
    // Each earlier conversation of the day, by the other name in lower case.
    QHash<QString, QStringList> m_earlierTalk;
    std::unique_ptr<ChatSession> m_session;
    std::unique_ptr<SendPath> m_sendPath;
    std::unique_ptr<RosterCommands> m_rosterCommands;
    std::unique_ptr<AntiIdle> m_antiIdle;

    QMenu *m_sndMenu = nullptr;
    QMenu *m_lstMenu = nullptr;
    QPointer<AboutDialog> m_about;

    HoverState m_hover;
    Attention m_attention;
    DesktopNotifier *m_notifier = nullptr;
    QString m_titleBase;
    bool m_logging = false;   // the continuous log, as last saved
    ChatSession::State m_lastState = ChatSession::State::Disconnected;
    bool m_askingToExit = false;
    bool m_closing = false;
};
