#include "MainWindow.h"
#include "chat/TranscriptSink.h"

#include "AboutDialog.h"
#include "DesktopNotifier.h"
#include "MainLook.h"
#include "chat/ChatLog.h"
#include "chat/ChatSession.h"
#include "chat/Colors.h"
#include "chat/DailyLog.h"
#include "chat/FindBar.h"
#include "chat/Resources.h"
#include "chat/RepaintPacer.h"
#include "chat/RosterView.h"
#include "chat/TeeSink.h"
#include "chat/TimeStamp.h"
#include "chat/TranscriptPane.h"
#include "conversations/ConversationArea.h"
#include "conversations/ConversationModel.h"
#include "conversations/ConversationTap.h"
#include "conversations/DayHistory.h"
#include "conversations/FriendsView.h"
#include "outgoing/AntiIdle.h"
#include "outgoing/InputLine.h"
#include "outgoing/OutgoingMenus.h"
#include "outgoing/RosterCommands.h"
#include "outgoing/SendPath.h"
#include "settings/DialogSettings.h"
#include "settings/Registry.h"
#include "settings/UserFile.h"

#include <QApplication>
#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QCursor>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QToolButton>
#include <QShortcut>
#include <QSizeGrip>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

const QString CaptionConnect = QStringLiteral("&Connect");
const QString CaptionDisconnect = QStringLiteral("&Disconnect");
// Two blanks until the first logon or disconnect changes the title.
const QString StartTitle = QStringLiteral("Quillon  v2.2");
const QString Title = QStringLiteral("Quillon v2.2");
const QString NotLoggedOn = QStringLiteral("(Not logged on)");
const QString NoChannel = QStringLiteral("(In no channel)");
// Behind a line that addresses the user: dark enough for every text colour.
constexpr Rgb AlertBackground = 0x3A2A00;
// The window's size on a screen that has room for it, and the least it takes.
constexpr QSize DefaultSize(780, 540);
constexpr QSize LeastSize(560, 380);
// While users keep coming and going, the roster is painted at most about
// thirty times a second; a crowded channel's list arriving in a burst still
// shows within a few hundredths of a second.
constexpr int RosterRepaintIntervalMs = 33;
// Its place and size at the last exit, in the per-user store's "Window" group.
const QString PlaceNames[4] = {QStringLiteral("Window/Left"), QStringLiteral("Window/Top"),
                               QStringLiteral("Window/Width"), QStringLiteral("Window/Height")};

QLabel *chromeLabel(const QString &text, const QString &name, const QColor &color, const QFont &font,
                    QWidget *parent)
{
    QLabel *label = MainLook::textLabel(text, name, color, font, parent);
    // Moves over a label reach the window, which leaves the buttons' hover
    // state alone there: a label is not the bare background.
    label->setMouseTracking(true);
    return label;
}

} // namespace

MainWindow::MainWindow(ShellPrompts prompts, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
    , m_prompts(prompts.completed())
    , m_txtChat(new TranscriptPane(QStringLiteral("txtMenu"), QStringLiteral("mClr"), this))
    , m_txtChat2(new TranscriptPane(QStringLiteral("iMenu"), QStringLiteral("iClr"), this))
    , m_lstUser(new QListView(this))
    , m_lblChan(chromeLabel(NotLoggedOn, QStringLiteral("lblChan"), MainLook::Text,
                            MainLook::defaultFont(), this))
    , m_lblChanCnt(chromeLabel(QStringLiteral("0"), QStringLiteral("lblChanCnt"), MainLook::Text,
                               MainLook::defaultFont(), this))
    , m_label1(chromeLabel(QStringLiteral("Quillon 2.2"), QStringLiteral("Label1"), MainLook::Label1Text,
                           MainLook::tahoma(14.25), this))
    , m_label2(chromeLabel(QStringLiteral("A s h g r o v e"), QStringLiteral("Label2"), MainLook::Text,
                           MainLook::label2Font(), this))
    , m_txtSend(new InputLine(this))
    , m_lblWaiting(new QLabel(this))
{
    initQuillonResources();
    setObjectName(QStringLiteral("frmMain"));
    setTitleBase(StartTitle);
    setWindowIcon(QIcon(QStringLiteral(":/icons/quillon.svg")));
    buildAllDayParts();

    SettingsHooks hooks;
    hooks.initAI = [this] {
        if (m_antiIdle)
            m_antiIdle->InitAI();
    };
    hooks.stopAI = [this] {
        if (m_antiIdle)
            m_antiIdle->stop();
    };
    hooks.setChatFontSize = [this](int points) { m_txtChat->setFontPointSize(points); };
    hooks.reportProblem = [this](const QString &text) { reportSettingsProblem(text); };
    hooks.login = [this] { m_session->Login(); };
    hooks.optionsSaved = [this] { applyAllDayOptions(); };
    m_settings = std::make_unique<DialogSettings>(std::move(hooks));
    // Where the desktop has neither a notification service nor a tray, the
    // switch in Options is shown off and says why.
    m_settings->setUnavailable("Notifications", m_notifier->availability());
    m_session = std::make_unique<ChatSession>(*m_settings, *m_upperTap, *m_lowerSink);
    m_sendPath = std::make_unique<SendPath>(*m_session, *m_upperSink, *m_txtSend);
    m_rosterCommands = std::make_unique<RosterCommands>(*m_session, *m_upperSink, *m_txtSend);
    m_antiIdle = std::make_unique<AntiIdle>(*m_session);
    m_sndMenu = OutgoingMenus::createSndMenu(*m_sendPath, this);
    m_lstMenu = OutgoingMenus::createLstMenu(*m_rosterCommands, this);

    buildChrome();
    buildLayout();
    bindSession();
    bindConversations();
    bindButtons();
    startUp();
    bindAllDayUse();
    nameForScreenReaders();
    orderTabs();
    fitToScreen();
    m_txtSend->setFocus();
    if (m_logging)
        m_dailyLog->mark(QStringLiteral("Quillon 2.2 started."));
}

MainWindow::~MainWindow() = default;

// ---- look and layout ----

void MainWindow::buildChrome()
{
    setFont(MainLook::defaultFont());
    setPalette(MainLook::palette());
    setAutoFillBackground(true);
    setMouseTracking(true);   // the bare background turns the buttons back

    m_txtChat->setObjectName(QStringLiteral("txtChat"));
    m_txtChat2->setObjectName(QStringLiteral("txtChat2"));
    m_lstUser->setObjectName(QStringLiteral("lstUser"));
    m_lstUser->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_lstUser->setSelectionMode(QAbstractItemView::SingleSelection);
    m_lstUser->setUniformItemSizes(true);
    m_lstUser->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_lstUser->viewport()->installEventFilter(this);
    m_lstUser->installEventFilter(this);
    m_txtSend->setMinimumContentsLength(20);

    // The channel name may be long; it is cut rather than widening the roster.
    m_lblChan->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    m_lblChanCnt->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    static const char *const names[HoverState::ButtonCount] = {
        "cmdConnect", "cmdSend", "cmdOptions", "cmdAbout", "cmdSaveLog", "cmdExit"};
    const QString captions[HoverState::ButtonCount] = {
        CaptionConnect, QStringLiteral("&Send"), QStringLiteral("&Options"),
        QStringLiteral("&About"), QStringLiteral("Save &Log"), QStringLiteral("&Exit")};
    // All six as wide as the widest bold caption, so that neither the hover
    // effect nor "&Disconnect" makes the row jump.
    QFont bold = MainLook::defaultFont();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    int width = metrics.horizontalAdvance(QStringLiteral("Disconnect"));
    for (const QString &caption : captions)
        width = std::max(width, metrics.horizontalAdvance(QString(caption).remove(QLatin1Char('&'))));
    for (int i = 0; i < HoverState::ButtonCount; ++i) {
        auto *button = new QPushButton(captions[i], this);
        button->setObjectName(QLatin1String(names[i]));
        button->setFont(MainLook::defaultFont());
        button->setMinimumWidth(width + 26);
        button->setAutoDefault(false);
        button->setMouseTracking(true);
        button->installEventFilter(this);
        m_buttons[i] = button;
    }
    // Last, so that every element already carries the name its rule uses.
    setStyleSheet(MainLook::styleSheet());
}

void MainWindow::buildLayout()
{
    auto *header = new QHBoxLayout;
    header->setContentsMargins(2, 0, 2, 0);
    header->addWidget(m_label1, 0, Qt::AlignLeft | Qt::AlignBottom);
    header->addStretch(1);
    header->addWidget(m_label2, 0, Qt::AlignRight | Qt::AlignBottom);

    auto *talk = new QVBoxLayout;
    talk->setSpacing(6);
    m_area = new ConversationArea(*m_conversations, m_txtChat, this);
    m_area->setObjectName(QStringLiteral("conversations"));
    talk->addWidget(m_area, 3);
    talk->addWidget(m_findBar);
    talk->addWidget(m_txtChat2, 1);
    auto *input = new QHBoxLayout;
    input->setSpacing(6);
    input->addWidget(m_txtSend, 1);
    input->addWidget(m_lblWaiting);
    talk->addLayout(input);

    auto *channel = new QHBoxLayout;
    channel->setContentsMargins(2, 0, 2, 0);
    channel->addWidget(m_lblChan, 1);
    channel->addWidget(m_lblChanCnt);
    auto *side = new QVBoxLayout;
    side->setSpacing(6);
    side->addLayout(channel);
    m_friendsView = new FriendsView(m_session->friends(), this);
    m_friendsView->setObjectName(QStringLiteral("friendsView"));
    QTabWidget *rosterTabs = FriendsView::rosterTabs(m_lstUser, m_friendsView, this);
    rosterTabs->setObjectName(QStringLiteral("rosterTabs"));
    side->addWidget(rosterTabs, 1);
    m_lstUser->setFixedWidth(170);
    rosterTabs->setFixedWidth(170);

    auto *body = new QHBoxLayout;
    body->setSpacing(8);
    body->addLayout(talk, 1);
    body->addLayout(side);

    auto *footer = new QHBoxLayout;
    footer->setSpacing(6);
    for (QPushButton *button : m_buttons)
        footer->addWidget(button);
    footer->addStretch(1);
    auto *grip = new QSizeGrip(this);
    grip->setObjectName(QStringLiteral("sizeGrip"));
    footer->addWidget(grip, 0, Qt::AlignBottom | Qt::AlignRight);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 6, 6);
    layout->setSpacing(6);
    layout->addLayout(header);
    layout->addWidget(MainLook::decorativeLine(this));
    layout->addLayout(body, 1);
    layout->addWidget(MainLook::decorativeLine(this));
    layout->addLayout(footer);

}

void MainWindow::nameForScreenReaders()
{
    m_txtChat->setAccessibleName(QStringLiteral("Chat"));
    m_txtChat->setAccessibleDescription(QStringLiteral("What is said in the channel and to you, newest last"));
    m_txtChat2->setAccessibleName(QStringLiteral("Channel events"));
    m_txtChat2->setAccessibleDescription(QStringLiteral("Who joined and left the channel, newest last"));
    m_lstUser->setAccessibleName(QStringLiteral("Users in channel"));
    m_txtSend->setAccessibleName(QStringLiteral("Message"));
    m_txtSend->setAccessibleDescription(QStringLiteral("Enter sends, Up and Down recall, Tab completes a name"));
    m_txtSend->lineEdit()->setAccessibleName(QStringLiteral("Message"));
    m_lblWaiting->setAccessibleName(QStringLiteral("Lines waiting"));
    m_findBar->field()->setAccessibleName(QStringLiteral("Find in chat"));
}

// Top to bottom, left to right: the upper pane, the find bar, the lower
// pane, the input line, the roster, then the buttons.
void MainWindow::orderTabs()
{
    m_txtChat->setTabChangesFocus(true);
    m_txtChat2->setTabChangesFocus(true);
    QList<QWidget *> chain{m_txtChat, m_findBar->field()};
    for (QToolButton *button : m_findBar->findChildren<QToolButton *>())
        chain << button;
    chain << m_txtChat2 << m_txtSend << m_lstUser;
    for (QPushButton *button : m_buttons)
        chain << button;
    for (qsizetype i = 1; i < chain.size(); ++i)
        setTabOrder(chain[i - 1], chain[i]);
}

void MainWindow::fitToScreen()
{
    QRect place;
    bool numbers = true;
    int values[4];
    for (int i = 0; i < 4 && numbers; ++i)
        values[i] = Registry::ReadRegString(Registry::Hive::CurrentUser, UserFile::SubKey, PlaceNames[i]).toInt(&numbers);
    if (numbers)
        place = QRect(values[0], values[1], values[2], values[3]);
    QScreen *home = numbers ? QGuiApplication::screenAt(place.center()) : nullptr;
    if (!home)
        home = screen();
    const QRect area = home ? home->availableGeometry() : QRect(0, 0, DefaultSize.width(), DefaultSize.height());
    const QSize least = LeastSize.boundedTo(area.size());
    setMinimumSize(least);
    if (!numbers || place.width() < least.width() || place.height() < least.height() || !area.contains(place)) {
        place = QRect(QPoint(), DefaultSize.boundedTo(area.size()));
        place.moveCenter(area.center());
    }
    resize(place.size());
    move(place.topLeft());
}

void MainWindow::rememberPlace()
{
    const QRect place = geometry();
    const int values[4] = {place.x(), place.y(), place.width(), place.height()};
    for (int i = 0; i < 4; ++i)
        Registry::WriteRegString(Registry::Hive::CurrentUser, UserFile::SubKey, PlaceNames[i], QString::number(values[i]));
}

// ---- wiring ----

void MainWindow::bindSession()
{
    RosterModel &roster = m_session->roster();
    // Users come and go many times in one turn of a busy channel, and the
    // label lays itself out on every new text; it shows the count once the
    // turn is over, as nothing is painted before.
    auto *countDue = new QTimer(this);
    countDue->setSingleShot(true);
    countDue->setInterval(0);
    connect(&roster, &RosterModel::countLabelChanged, countDue, [countDue] {
        if (!countDue->isActive())
            countDue->start();
    });
    connect(countDue, &QTimer::timeout, this, [this] { m_lblChanCnt->setText(m_session->roster().countLabel()); });
    connect(m_session.get(), &ChatSession::stateChanged, this, &MainWindow::showState);
    connect(m_session.get(), &ChatSession::stateChanged, this, &MainWindow::markConnection);
    connect(m_session.get(), &ChatSession::ownNameChanged, this, &MainWindow::showOwnName);
    connect(m_session.get(), &ChatSession::channelChanged, this, &MainWindow::showChannel);
    connect(m_session.get(), &ChatSession::inputFocusRequested, m_txtSend, [this] { m_txtSend->setFocus(); });
    connect(m_lstUser, &QListView::clicked, this,
            [this](const QModelIndex &index) { m_session->setSelName(index.data().toString()); });
    connect(m_txtSend, &InputLine::sendRequested, m_sendPath.get(), [this] {
        // Talk typed in a conversation tab is a whisper to its user; a
        // command goes as typed.
        const int row = m_area->currentRow();
        if (row > ConversationModel::ChannelRow && m_session->state() == ChatSession::State::LoggedOn
            && !m_txtSend->editText().isEmpty())
            m_txtSend->setEditText(m_conversations->lineToSend(row, m_txtSend->editText()));
        m_sendPath->Send();
    });
    bindSendQueue();
}

// Lines held back by the flood rule show as a count beside the input line;
// Escape there drops them. The roster's selection follows the session's
// target, which is forgotten when that user leaves.
void MainWindow::bindSendQueue()
{
    m_lblWaiting->setObjectName(QStringLiteral("lblWaiting"));
    m_lblWaiting->hide();
    connect(&m_session->outbox(), &Outbox::waitingChanged, this, [this](int lines) {
        m_lblWaiting->setText(lines == 1 ? QStringLiteral("1 line waiting (Esc cancels)")
                                         : QStringLiteral("%1 lines waiting (Esc cancels)").arg(lines));
        m_lblWaiting->setVisible(lines > 0);
    });
    auto *cancel = new QShortcut(QKeySequence(Qt::Key_Escape), m_txtSend);
    cancel->setContext(Qt::WidgetWithChildrenShortcut);
    connect(cancel, &QShortcut::activated, &m_session->outbox(), &Outbox::cancelWaiting);
    auto forgetSelection = [this] {
        if (m_session->selName().isEmpty() && m_lstUser->selectionModel())
            m_lstUser->selectionModel()->clear();
    };
    connect(&m_session->roster(), &QAbstractItemModel::rowsRemoved, this, forgetSelection);
    connect(&m_session->roster(), &QAbstractItemModel::modelReset, this, forgetSelection);
}

void MainWindow::showState(ChatSession::State state)
{
    // "&Disconnect" from the start of a connection to its end; a reconnection
    // that waits for its turn reads "&Connect", and pressing it cancels the wait.
    m_buttons[Connect]->setText(m_session->isActive() ? CaptionDisconnect : CaptionConnect);
    // Every disconnect passes through Disconnected, also on its way to the
    // next attempt; a new connection keeps the title until the logon.
    if (state == ChatSession::State::Disconnected)
        setTitleBase(Title);
    if (state == ChatSession::State::LoggedOn)
        m_settings->rememberServer(m_settings->server());   // listed first in the login dialog
}

// A connection is marked once the server took it, its end once it ends.
void MainWindow::markConnection(ChatSession::State state)
{
    const ChatSession::State before = std::exchange(m_lastState, state);
    if (!m_logging)
        return;
    const bool wasConnected = before == ChatSession::State::LoggingOn || before == ChatSession::State::LoggedOn;
    if (state == ChatSession::State::LoggingOn && before == ChatSession::State::Connecting)
        m_dailyLog->mark(QStringLiteral("Connected to %1.").arg(m_settings->server()));
    else if (state == ChatSession::State::Disconnected && wasConnected)
        m_dailyLog->mark(QStringLiteral("Disconnected from %1.").arg(m_settings->server()));
}

void MainWindow::showOwnName(const QString &name)
{
    setTitleBase(Title + QStringLiteral(" - ") + name);
}

void MainWindow::showChannel(ChatSession::ChannelState state, const QString &channel)
{
    // No channel named yet on this connection reads as not logged on; after
    // the own LEAVE the user is in no channel; a channel shows its name as
    // the server gave it, even an empty one.
    switch (state) {
    case ChatSession::ChannelState::NoneYet: m_lblChan->setText(NotLoggedOn); break;
    case ChatSession::ChannelState::Left: m_lblChan->setText(NoChannel); break;
    case ChatSession::ChannelState::Joined: m_lblChan->setText(channel); break;
    }
}

void MainWindow::bindButtons()
{
    connect(m_buttons[Connect], &QPushButton::clicked, this, &MainWindow::cmdConnectClicked);
    connect(m_buttons[Send], &QPushButton::clicked, this, &MainWindow::cmdSendClicked);
    connect(m_buttons[Options], &QPushButton::clicked, this, &MainWindow::cmdOptionsClicked);
    connect(m_buttons[About], &QPushButton::clicked, this, &MainWindow::cmdAboutClicked);
    connect(m_buttons[SaveLogButton], &QPushButton::clicked, this, &MainWindow::SaveLog);
    connect(m_buttons[Exit], &QPushButton::clicked, this, &QWidget::close);
}

void MainWindow::startUp()
{
    m_settings->InitServ();
    m_settings->LoadSettings();
    if (m_settings->antiIdle())
        m_antiIdle->InitAI();
    // The roster's product and rank icons, 16 pixels drawn from vectors at
    // any scale.
    m_lstUser->setIconSize(QSize(16, 16));
    m_lstUser->setModel(new RosterViewModel(m_lstUser));
    static_cast<RosterViewModel *>(m_lstUser->model())->setSourceModel(&m_session->roster());
    (new RepaintPacer(m_lstUser, RosterRepaintIntervalMs))->watch(m_lstUser->model());
    showDayHistory();
    // Idle until the user presses "&Connect".
}

// ---- conversations and friends ----

void MainWindow::bindConversations()
{
    // A whisper's line goes to its tab as the channel pane shows it; the
    // daily log behind the tap gets it once.
    connect(m_session.get(), &ChatSession::conversationLine, this, [this](const QString &user, bool received) {
        m_upperTap->routeLine(user, received ? ConversationModel::Direction::Received
                                             : ConversationModel::Direction::Sent);
    });
    // A typed whisper opens its tab, unshown; its line comes with the server's echo.
    connect(m_sendPath.get(), &SendPath::whisperTyped, this,
            [this](const QString &user) { m_conversations->open(user); });
    connect(m_rosterCommands.get(), &RosterCommands::conversationRequested, this, &MainWindow::showConversation);
    connect(m_lstUser, &QListView::doubleClicked, this,
            [this](const QModelIndex &index) { showConversation(index.data().toString()); });
    connect(m_friendsView, &FriendsView::whisperRequested, this, &MainWindow::showConversation);
    // A new tab's pane looks like the channel pane; find, links and Tab
    // completion follow the tab shown.
    connect(m_area, &ConversationArea::paneCreated, this, [this](TranscriptPane *pane) {
        pane->setFontPointSize(m_txtChat->fontPointSize());
        pane->setScrollbackLimit(m_txtChat->scrollbackLimit());
    });
    connect(m_area, &ConversationArea::currentPaneChanged, this, [this](TranscriptPane *pane) {
        if (pane)
            m_findBar->setPane(pane);
        m_txtSend->setFocus();
    });
    // A conversation opened later starts with its earlier lines of the day.
    // They come from the log as it was at start, read once: a flood of
    // whispers from new names must not read the day's file again each time.
    m_conversations->setEarlierLines([this](const QString &user) {
        return m_earlierTalk.value(user.trimmed().toLower());
    });
}

void MainWindow::showConversation(const QString &user)
{
    const int row = m_conversations->open(user.trimmed());
    if (row > ConversationModel::ChannelRow)
        m_area->showRow(row);
}

// Straight into the pane, not through the daily log's tee: these lines are
// in the log already.
void MainWindow::showDayHistory()
{
    const QString file = DayHistory::latestLog(m_dailyLog->folder());
    if (file.isEmpty())
        return;
    m_earlierTalk = DayHistory::conversationIndex(file);
    const DayHistory::Tail tail = DayHistory::readTail(file);
    if (tail.lines.isEmpty())
        return;
    m_txtChat->beginBatch();
    for (const QString &line : tail.lines)
        m_txtChat->AddText(line + CrLf, Colors::Grey);
    m_txtChat->AddText(DayHistory::separatorLine(tail.endsAt) + CrLf, Colors::Grey);
    m_txtChat->endBatch();
}

// ---- all-day use ----

void MainWindow::buildAllDayParts()
{
    // Every run shown in either pane also goes to the daily log while it is on.
    m_dailyLog = std::make_unique<DailyLog>();
    // Written five times a second rather than once: a flood fills the
    // buffer with megabytes a second, which the log would grow by copying
    // and write in one go, each a freeze of several milliseconds.
    m_dailyLog->setFlushInterval(200);
    m_upperSink = std::make_unique<TeeSink>(*m_txtChat, [this](const QString &txt) { logRun(txt); });
    m_lowerSink = std::make_unique<TeeSink>(*m_txtChat2, [this](const QString &txt) { logRun(txt); });
    m_conversations = std::make_unique<ConversationModel>();
    m_upperTap = std::make_unique<ConversationTap>(*m_upperSink, *m_conversations);
    // Brings its own Ctrl+F, F3 and Shift+F3.
    m_findBar = new FindBar(m_txtChat, this);
    m_notifier = new DesktopNotifier(this);
}

void MainWindow::bindAllDayUse()
{
    connect(m_findBar, &FindBar::closed, m_txtSend, [this] { m_txtSend->setFocus(); });
    // Tab completes the names of the others in the channel.
    m_txtSend->setNameSource([this] {
        QStringList names = m_session->roster().names();
        const QString partner = m_conversations->userAt(m_area->currentRow());
        if (!partner.isEmpty() && !names.contains(partner, Qt::CaseInsensitive))
            names.prepend(partner);
        const QString own = m_session->ownName();
        names.removeIf([&own](const QString &name) { return name.compare(own, Qt::CaseInsensitive) == 0; });
        return names;
    });
    connect(m_dailyLog.get(), &DailyLog::writeFailed, this, &MainWindow::showLogFailure);
    connect(m_session.get(), &ChatSession::alert, this, &MainWindow::showAlert);
    applyAllDayOptions();
}

// At start-up and whenever the options are saved.
void MainWindow::applyAllDayOptions()
{
    const int lines = m_settings->scrollbackLines();
    m_txtChat->setScrollbackLimit(lines);
    m_txtChat2->setScrollbackLimit(lines);
    m_logging = m_settings->continuousLog();
    if (!m_logging)
        m_dailyLog->flush();   // what was logged so far reaches the file now
}

void MainWindow::logRun(const QString &txt)
{
    if (m_logging)
        m_dailyLog->append(txt);
}

void MainWindow::showLogFailure(const QString &message)
{
    // Straight into the pane, not through the log: it rests after a failure,
    // and the failure is reported from inside its own writing.
    m_txtChat->AddText(TimeStamp::now() + message + CrLf, Colors::Red);
}

void MainWindow::showAlert(const QString &from, const QString &text)
{
    m_txtChat->markLastLine(AlertBackground);
    if (isActiveWindow() || m_closing)
        return;
    m_attention.addUnseen();
    setTitleBase(m_titleBase);
    QApplication::alert(this);
    if (m_settings->notifications())
        m_notifier->notify(Attention::notice(from, text));
}

void MainWindow::alertsSeen()
{
    m_notifier->withdraw();
    if (m_attention.unseen() == 0)
        return;
    m_attention.clear();
    setTitleBase(m_titleBase);
}

void MainWindow::setTitleBase(const QString &base)
{
    m_titleBase = base;
    setWindowTitle(m_attention.title(m_titleBase));
}

void MainWindow::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        alertsSeen();
    QWidget::changeEvent(event);
}

// ---- buttons ----

void MainWindow::cmdConnectClicked()
{
    if (m_session->isActive()) {
        m_session->disconnectByUser();
        return;
    }
    m_session->cancelPendingReconnect();
    QPointer<MainWindow> self(this);
    m_settings->execLoginDialog(this);
    if (!self || m_closing)
        return;   // the program is ending; shutdown has saved already
    // Either button: the stored settings and the fields agree again.
    m_settings->SaveSettings();
    m_settings->LoadSettings();
}

void MainWindow::cmdSendClicked()
{
    popUpAt(m_sndMenu, m_buttons[Send]);
}

void MainWindow::cmdOptionsClicked()
{
    m_settings->execOptionsDialog(this);
}

void MainWindow::cmdAboutClicked()
{
    if (m_about)
        return;
    QPointer<AboutDialog> about = new AboutDialog(m_prompts.openUrl, this);
    m_about = about;
    about->exec();
    delete about;   // null when the window went first
}

void MainWindow::popUpAt(QMenu *menu, QWidget *anchor)
{
    // At the pointer when it is on the button; from the keyboard, below it.
    const QPoint pointer = QCursor::pos();
    if (anchor->rect().contains(anchor->mapFromGlobal(pointer)))
        menu->popup(pointer);
    else
        menu->popup(anchor->mapToGlobal(anchor->rect().bottomLeft()));
}

void MainWindow::reportSettingsProblem(const QString &text)
{
    m_upperSink->AddText(TimeStamp::now() + text + CrLf, Colors::Red);
}

void MainWindow::SaveLog()
{
    QString name = m_prompts.askLogFileName(this);
    if (name.isEmpty()) {
        m_prompts.inform(this, QStringLiteral("Log not saved."));
        return;
    }
    name = ChatLog::withLogExtension(name);
    const QByteArray bytes = ChatLog::build(m_session->roster().names(), m_txtChat->plainTextCrLf(),
                                            ChatLog::savedOnLine(m_prompts.now()), m_session->encoding());
    QString reason;
    if (!ChatLog::write(name, bytes, &reason)) {
        m_prompts.inform(this, QStringLiteral("Log not saved.") + CrLf + CrLf + name + CrLf + reason);
        return;
    }
    m_prompts.inform(this, name + CrLf + CrLf + QStringLiteral("Log saved."));
}

// ---- shutdown ----

void MainWindow::closeEvent(QCloseEvent *event)
{
    if (m_closing) {
        event->accept();
        return;
    }
    // A second request while the question is open is the same request.
    if (m_askingToExit) {
        event->ignore();
        return;
    }
    m_askingToExit = true;
    const bool yes = m_prompts.confirmExit(this);
    m_askingToExit = false;
    if (!yes) {
        event->ignore();
        return;
    }
    m_closing = true;
    // No idle line may leave while the program winds down.
    m_antiIdle->stop();
    m_settings->SaveSettings();
    rememberPlace();
    if (m_logging) {
        m_dailyLog->mark(QStringLiteral("Quillon 2.2 exited."));
        m_dailyLog->flush();
    }
    if (m_about)
        m_about->reject();
    m_settings->closeDialogs();
    // The connection is left alone: it ends with the program, silently.
    event->accept();
}

// ---- pointer ----

bool MainWindow::isDragSurface(const QWidget *child) const
{
    return child == nullptr || child == m_label1 || child == m_label2 || child == m_lblChan
        || child == m_lblChanCnt;
}

void MainWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && isDragSurface(childAt(event->position().toPoint()))) {
        event->accept();
        m_prompts.dragWindow(this);
        return;
    }
    QWidget::mousePressEvent(event);
}

void MainWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!childAt(event->position().toPoint()) && m_hover.pointerOverBackground())
        applyHover();
    QWidget::mouseMoveEvent(event);
}

bool MainWindow::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (type == QEvent::Enter || type == QEvent::MouseMove) {
        for (int i = 0; i < HoverState::ButtonCount; ++i) {
            if (watched == m_buttons[i] && m_hover.pointerOverButton(i))
                applyHover();
        }
    }
    // The roster's menu: the right button alone, at the pointer. The entry
    // under the pointer becomes the selection and the commands' target, so
    // they act on the name the user sees highlighted.
    if (watched == m_lstUser->viewport() && type == QEvent::MouseButtonPress) {
        auto *press = static_cast<QMouseEvent *>(event);
        if (press->buttons() == Qt::RightButton) {
            const QModelIndex under = m_lstUser->indexAt(press->position().toPoint());
            if (under.isValid()) {
                m_lstUser->setCurrentIndex(under);
                m_session->setSelName(under.data().toString());
            }
            m_lstMenu->popup(press->globalPosition().toPoint());
            return true;
        }
    }
    if (watched == m_lstUser && type == QEvent::ContextMenu) {
        if (static_cast<QContextMenuEvent *>(event)->reason() == QContextMenuEvent::Keyboard)
            popUpRosterMenu();
        return true;
    }
    // The Menu key and Shift+F10 alike.
    if (watched == m_lstUser && type == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
        if (key->key() == Qt::Key_Menu || (key->key() == Qt::Key_F10 && mods == Qt::ShiftModifier)) {
            popUpRosterMenu();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

// Below the selected row, which becomes the commands' target as a click
// would make it; at the list's top without one.
void MainWindow::popUpRosterMenu()
{
    const QModelIndex current = m_lstUser->currentIndex();
    if (current.isValid())
        m_session->setSelName(current.data().toString());
    const QRect item = m_lstUser->visualRect(current);
    const QPoint at = item.isValid() ? item.bottomLeft() : QPoint(0, 0);
    m_lstMenu->popup(m_lstUser->viewport()->mapToGlobal(at));
}

void MainWindow::applyHover()
{
    for (int i = 0; i < HoverState::ButtonCount; ++i) {
        QFont font = m_buttons[i]->font();
        if (font.bold() != m_hover.isBold(i)) {
            font.setBold(m_hover.isBold(i));
            m_buttons[i]->setFont(font);
        }
    }
}
