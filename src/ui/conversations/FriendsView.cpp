#include "FriendsView.h"

#include "conversations/FriendsList.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

FriendsView::FriendsView(FriendsList &friends, QWidget *parent)
    : QWidget(parent)
    , m_friends(friends)
    , m_list(new QListView(this))
    , m_state(new QLabel(this))
    , m_addName(new QLineEdit(this))
    , m_menu(new QMenu(this))
{
    setAccessibleName(tr("Friends"));
    m_list->setModel(&friends.model());
    m_list->setAccessibleName(tr("Friends list"));
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    m_state->setWordWrap(true);
    m_state->setAccessibleName(tr("Friends list state"));
    m_addName->setPlaceholderText(tr("Account name"));
    m_addName->setAccessibleName(tr("Friend to add"));
    auto *add = new QPushButton(tr("&Add"), this);
    add->setAccessibleName(tr("Add friend"));

    auto *addRow = new QHBoxLayout;
    addRow->addWidget(m_addName, 1);
    addRow->addWidget(add);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_state);
    layout->addWidget(m_list, 1);
    layout->addLayout(addRow);

    m_menu->setObjectName(QStringLiteral("friendsMenu"));
    m_menu->addAction(tr("&Whisper"), this, [this] {
        if (const QString name = selectedName(); !name.isEmpty())
            emit whisperRequested(name);
    });
    m_menu->addAction(tr("W&hois"), this, [this] { m_friends.whois(selectedName()); });
    m_menu->addAction(tr("&Remove"), this, [this] { m_friends.remove(selectedName()); });
    m_menu->addSeparator();
    m_menu->addAction(tr("Re&fresh"), &m_friends, &FriendsList::refresh);

    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        const QModelIndex at = m_list->indexAt(pos);
        if (at.isValid())
            m_list->setCurrentIndex(at);
        for (QAction *action : m_menu->actions().first(3))
            action->setEnabled(at.isValid());
        m_menu->popup(m_list->viewport()->mapToGlobal(pos));
    });
    connect(m_list, &QAbstractItemView::doubleClicked, this, [this](const QModelIndex &at) {
        emit whisperRequested(at.data(FriendsModel::NameRole).toString());
    });
    connect(add, &QPushButton::clicked, this, &FriendsView::addTyped);
    connect(m_addName, &QLineEdit::returnPressed, this, &FriendsView::addTyped);
    connect(&friends.model(), &FriendsModel::stateChanged, this, &FriendsView::updateState);
    connect(&friends.model(), &QAbstractItemModel::modelReset, this, &FriendsView::updateState);
    updateState();
}

QString FriendsView::selectedName() const
{
    return m_list->currentIndex().data(FriendsModel::NameRole).toString();
}

QTabWidget *FriendsView::rosterTabs(QWidget *roster, FriendsView *friends, QWidget *parent)
{
    auto *tabs = new QTabWidget(parent);
    tabs->setAccessibleName(tr("Channel and friends"));
    tabs->setDocumentMode(true);
    tabs->addTab(roster, tr("Channel"));
    tabs->addTab(friends, tr("Friends"));
    return tabs;
}

void FriendsView::updateState()
{
    const QString text = m_friends.model().stateText();
    m_state->setText(text);
    m_state->setVisible(!text.isEmpty());
}

void FriendsView::addTyped()
{
    if (m_addName->text().trimmed().isEmpty())
        return;
    m_friends.add(m_addName->text());
    m_addName->clear();
}
