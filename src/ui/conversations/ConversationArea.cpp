#include "ConversationArea.h"

#include "chat/TranscriptPane.h"
#include "conversations/ConversationModel.h"

#include <QShortcut>
#include <QStackedWidget>
#include <QTabBar>
#include <QVBoxLayout>

ConversationArea::ConversationArea(ConversationModel &model, TranscriptPane *channelPane, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_tabs(new QTabBar(this))
    , m_stack(new QStackedWidget(this))
{
    setAccessibleName(tr("Conversations"));
    m_tabs->setAccessibleName(tr("Conversation tabs"));
    m_tabs->setDocumentMode(true);
    m_tabs->setExpanding(false);
    m_tabs->setTabsClosable(true);
    m_tabs->setSelectionBehaviorOnRemove(QTabBar::SelectLeftTab);
    m_stack->addWidget(channelPane);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_tabs);
    layout->addWidget(m_stack);

    m_tabs->addTab(QString());
    // The channel tab cannot close: its close button goes altogether.
    QWidget *channelClose = m_tabs->tabButton(ConversationModel::ChannelRow, QTabBar::RightSide);
    m_tabs->setTabButton(ConversationModel::ChannelRow, QTabBar::RightSide, nullptr);
    delete channelClose;
    m_tabs->setTabButton(ConversationModel::ChannelRow, QTabBar::LeftSide, nullptr);
    updateTabs(0, 0);
    insertRows(1, m_model.rowCount() - 1);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int row) {
        if (row < 0)
            return;
        m_stack->setCurrentIndex(row);
        m_model.setShownRow(row);
        emit currentPaneChanged(currentPane());
    });
    connect(m_tabs, &QTabBar::tabCloseRequested, this, [this](int row) { m_model.close(row); });
    connect(&m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { insertRows(first, last); });
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { removeRows(first, last); });
    // A flood of whispers changes the counts many times a turn; the tab bar
    // lays itself out again on every change, so the texts are set once, when
    // the turn is over.
    m_tabsDue.setSingleShot(true);
    m_tabsDue.setInterval(0);
    connect(&m_tabsDue, &QTimer::timeout, this, [this] {
        const QSet<int> rows = std::exchange(m_changedTabs, {});
        for (const int row : rows)
            updateTabs(row, row);
    });
    connect(&m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from, const QModelIndex &to) {
        for (int row = from.row(); row <= to.row(); ++row)
            m_changedTabs.insert(row);
        if (!m_tabsDue.isActive())
            m_tabsDue.start();
    });
    connect(&m_model, &ConversationModel::runAppended, this, [this](int row, const QString &text, Rgb color) {
        if (row > ConversationModel::ChannelRow)
            if (TranscriptPane *pane = paneAt(row)) {
                // Within a chunk each pane that gets lines is laid out once, at its end.
                if (m_inBatch && !m_batched.contains(pane)) {
                    pane->beginBatch();
                    m_batched.append(pane);
                }
                pane->AddText(text, color);
            }
    });
    connect(&m_model, &ConversationModel::batchBegun, this, [this] { m_inBatch = true; });
    connect(&m_model, &ConversationModel::batchEnded, this, [this] {
        m_inBatch = false;
        for (const QPointer<TranscriptPane> &pane : std::exchange(m_batched, {}))
            if (pane)
                pane->endBatch();
    });

    const auto shortcut = [this](const QKeySequence &keys, void (ConversationArea::*slot)()) {
        auto *s = new QShortcut(keys, this);
        s->setContext(Qt::WindowShortcut);
        connect(s, &QShortcut::activated, this, slot);
    };
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_Tab), &ConversationArea::nextTab);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), &ConversationArea::previousTab);
    shortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab), &ConversationArea::previousTab);
    shortcut(QKeySequence(Qt::CTRL | Qt::Key_W), &ConversationArea::closeCurrent);
}

TranscriptPane *ConversationArea::currentPane() const
{
    return paneAt(currentRow());
}

TranscriptPane *ConversationArea::paneAt(int row) const
{
    return qobject_cast<TranscriptPane *>(m_stack->widget(row));
}

int ConversationArea::currentRow() const
{
    return m_tabs->currentIndex();
}

void ConversationArea::showRow(int row)
{
    if (row >= 0 && row < m_tabs->count())
        m_tabs->setCurrentIndex(row);
}

void ConversationArea::nextTab()
{
    showRow((currentRow() + 1) % m_tabs->count());
}

void ConversationArea::previousTab()
{
    showRow((currentRow() + m_tabs->count() - 1) % m_tabs->count());
}

void ConversationArea::closeCurrent()
{
    m_model.close(currentRow());
}

void ConversationArea::insertRows(int first, int last)
{
    for (int row = first; row <= last; ++row) {
        auto *pane = new TranscriptPane(QStringLiteral("convMenu"), QStringLiteral("convClr"), m_stack);
        pane->setAccessibleName(tr("Conversation with %1").arg(m_model.title(row)));
        m_stack->insertWidget(row, pane);
        m_tabs->insertTab(row, QString());
        if (QWidget *close = m_tabs->tabButton(row, QTabBar::RightSide))
            close->setAccessibleName(tr("Close the conversation with %1").arg(m_model.title(row)));
        emit paneCreated(pane);
        m_model.replay(row, *pane);
    }
    updateTabs(first, last);
}

void ConversationArea::removeRows(int first, int last)
{
    for (int row = last; row >= first; --row) {
        QWidget *pane = m_stack->widget(row);
        m_tabs->removeTab(row);
        m_stack->removeWidget(pane);
        delete pane;
    }
}

void ConversationArea::updateTabs(int first, int last)
{
    for (int row = first; row <= last && row < m_tabs->count(); ++row) {
        const QModelIndex at = m_model.index(row);
        m_tabs->setTabText(row, at.data(Qt::DisplayRole).toString());
        m_tabs->setTabToolTip(row, at.data(Qt::AccessibleTextRole).toString());
#if QT_CONFIG(accessibility)
        m_tabs->setAccessibleTabName(row, at.data(Qt::AccessibleTextRole).toString());
#endif
    }
}
