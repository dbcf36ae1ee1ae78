#include "MainWindow.h"

#include "chat/ChatSession.h"
#include "chat/InterimSettings.h"
#include "chat/TranscriptPane.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QListView>
#include <QPushButton>

MainWindow::MainWindow(QWidget *parent)
    : QWidget(parent)
    , m_settings(new InterimSettings)
    , m_txtChat(new TranscriptPane(QStringLiteral("txtMenu"), QStringLiteral("mClr"), this))
    , m_txtChat2(new TranscriptPane(QStringLiteral("iMenu"), QStringLiteral("iClr"), this))
    , m_lstUser(new QListView(this))
    , m_lblChan(new QLabel(ChatSession::NotLoggedOn, this))
    , m_lblChanCnt(new QLabel(QStringLiteral("0"), this))
    , m_txtSend(new QComboBox(this))
    , m_cmdConnect(new QPushButton(ChatSession::CaptionConnect, this))
    , m_session(new ChatSession(*m_settings, *m_txtChat, *m_txtChat2, this))
{
    m_txtChat->setObjectName(QStringLiteral("txtChat"));
    m_txtChat2->setObjectName(QStringLiteral("txtChat2"));
    m_lstUser->setObjectName(QStringLiteral("lstUser"));
    m_lblChan->setObjectName(QStringLiteral("lblChan"));
    m_lblChanCnt->setObjectName(QStringLiteral("lblChanCnt"));
    m_txtSend->setObjectName(QStringLiteral("txtSend"));
    m_txtSend->setEditable(true);
    m_cmdConnect->setObjectName(QStringLiteral("cmdConnect"));
    setWindowTitle(ChatSession::StartTitle);
    buildLayout();
    bindSession();
}

MainWindow::~MainWindow()
{
    delete m_session;
    delete m_settings;
}

void MainWindow::buildLayout()
{
    setStyleSheet(QStringLiteral("background-color: black; color: #808080;"));
    auto *grid = new QGridLayout(this);
    grid->addWidget(m_txtChat, 0, 0, 1, 1);
    grid->addWidget(m_txtChat2, 1, 0, 1, 1);
    grid->setRowStretch(0, 3);
    grid->setRowStretch(1, 1);
    auto *side = new QGridLayout;
    side->addWidget(m_lblChan, 0, 0);
    side->addWidget(m_lblChanCnt, 0, 1, Qt::AlignRight);
    side->addWidget(m_lstUser, 1, 0, 1, 2);
    grid->addLayout(side, 0, 1, 2, 1);
    grid->addWidget(m_txtSend, 2, 0);
    grid->addWidget(m_cmdConnect, 2, 1);
    grid->setColumnStretch(0, 4);
    grid->setColumnStretch(1, 1);
    resize(760, 520);
}

void MainWindow::bindSession()
{
    m_lstUser->setModel(&m_session->roster());
    connect(m_lstUser, &QListView::clicked, this, [this](const QModelIndex &index) {
        m_session->setSelName(index.data().toString());
    });
    connect(&m_session->roster(), &RosterModel::countLabelChanged, m_lblChanCnt, &QLabel::setText);
    connect(m_session, &ChatSession::channelLabelChanged, m_lblChan, &QLabel::setText);
    connect(m_session, &ChatSession::titleChanged, this, &QWidget::setWindowTitle);
    connect(m_session, &ChatSession::connectCaptionChanged, m_cmdConnect, &QPushButton::setText);
    connect(m_session, &ChatSession::inputFocusRequested, this, [this] { m_txtSend->setFocus(); });
    connect(m_cmdConnect, &QPushButton::clicked, this, &MainWindow::cmdConnectClicked);
}

void MainWindow::cmdConnectClicked()
{
    if (m_session->connectCaption() == ChatSession::CaptionDisconnect) {
        m_session->disconnectByUser();
        return;
    }
    m_session->cancelPendingReconnect();
    m_session->Login();
}
