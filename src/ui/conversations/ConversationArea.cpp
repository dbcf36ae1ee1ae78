#include "ConversationArea.h"

#include "chat/TranscriptPane.h"
#include "conversations/ConversationModel.h"

#include <QElapsedTimer>
#include <QEvent>
#include <QHash>
#include <QShortcut>
#include <QStackedWidget>
#include <QStyleOptionTab>
#include <QTabBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

// The time one turn may spend adding tabs to the bar.
constexpr qint64 AddTabsBudgetNs = 3 * 1000 * 1000;
// The shortest time between two settings of the tab texts.
constexpr int TabTextsIntervalMs = 100;

// The bar lays out all its tabs again for every tab added and every text
// set, asking the style each time for the size of each tab. A tab's size
// here depends on its text alone (one font, no icons, the same close
// button), so the sizes are kept by text until the look changes.
//
// Adding a tab lays the bar out up to three times, and each layout also
// places every close button, describing every tab in full for the style to
// find where its button goes (its text elided, its parts measured). While
// tabs are added in a row, the bar counts as not visible (only the flag, as
// in ConversationArea::updateTabs), which spares it the layouts a visible
// bar makes at once, and it describes its tabs by their sizes only; once
// the last one is in, it is laid out in full.
class ConversationTabBar : public QTabBar
{
public:
    using QTabBar::QTabBar;

    // A visible bar counts as not visible (only the flag: no hide or show
    // event, the focus and screen readers see nothing of it), and so only
    // notes that it must be laid out; false when it is not visible anyway.
    bool countAsHidden()
    {
        if (!isVisible())
            return false;
        setAttribute(Qt::WA_WState_Visible, false);
        return true;
    }
    void countAsShown() { setAttribute(Qt::WA_WState_Visible, true); }
    // Setting a tab's text lays the bar out again, in full.
    void layOutAgain(int index) { setTabText(index, tabText(index)); }

    void beginAdding()
    {
        m_adding = true;
        m_addedFrom = count();
        m_hidden = countAsHidden();
    }
    void endAdding()
    {
        m_adding = false;
        if (m_hidden) {
            countAsShown();
            // A close button shown while the bar counted as hidden is
            // shown again, now for real.
            const auto side = ButtonPosition(style()->styleHint(QStyle::SH_TabBar_CloseButtonPosition, nullptr, this));
            for (int i = m_addedFrom; i < count(); ++i) {
                if (QWidget *button = tabButton(i, side)) {
                    button->hide();
                    button->show();
                }
            }
        }
        if (count() > m_addedFrom)
            layOutAgain(count() - 1);
    }

protected:
    void initStyleOption(QStyleOptionTab *option, int index) const override
    {
        if (!m_adding)
            QTabBar::initStyleOption(option, index);
    }
    QSize tabSizeHint(int index) const override { return cached(index, false); }
    QSize minimumTabSizeHint(int index) const override { return cached(index, true); }
    void changeEvent(QEvent *event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::StyleChange || type == QEvent::FontChange || type == QEvent::PaletteChange
            || type == QEvent::LayoutDirectionChange) {
            m_sizes.clear();
            m_leastSizes.clear();
        }
        QTabBar::changeEvent(event);
    }

private:
    // The selected tab is measured apart (a style may draw it larger), and
    // so is one without a close button (the channel's).
    QSize cached(int index, bool least) const
    {
        QHash<QString, QSize> &sizes = least ? m_leastSizes : m_sizes;
        const QChar kind(u'0' + (index == currentIndex() ? 1 : 0) + (tabButton(index, RightSide) ? 2 : 0));
        const QString key = kind + tabText(index);
        auto at = sizes.constFind(key);
        if (at == sizes.cend()) {
            if (sizes.size() > 1000)   // texts with counts come and go
                sizes.clear();
            at = sizes.insert(key, least ? QTabBar::minimumTabSizeHint(index) : QTabBar::tabSizeHint(index));
        }
        return *at;
    }
    mutable QHash<QString, QSize> m_sizes;
    mutable QHash<QString, QSize> m_leastSizes;
    bool m_adding = false;
    bool m_hidden = false;
    int m_addedFrom = 0;
};

ConversationTabBar &conversationBar(QTabBar *bar)
{
    return *static_cast<ConversationTabBar *>(bar);
}

} // namespace

ConversationArea::ConversationArea(ConversationModel &model, TranscriptPane *channelPane, QWidget *parent)
    : QWidget(parent)
    , m_model(model)
    , m_tabs(new ConversationTabBar(this))
    , m_stack(new QStackedWidget(this))
{
    setAccessibleName(tr("Conversations"));
    m_tabs->setAccessibleName(tr("Conversation tabs"));
    m_tabs->setDocumentMode(true);
    m_tabs->setExpanding(false);
    m_tabs->setTabsClosable(true);
    m_tabs->setSelectionBehaviorOnRemove(QTabBar::SelectLeftTab);
    m_stack->addWidget(channelPane);
    m_panes.append({channelPane, 0});
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
    setTabTexts(ConversationModel::ChannelRow);
    insertRows(1, m_model.rowCount() - 1);
    addTabs(m_model.rowCount() - 1);

    connect(m_tabs, &QTabBar::currentChanged, this, [this](int row) {
        if (row < 0)
            return;
        // Made or brought up to date before it shows.
        m_stack->setCurrentWidget(paneAt(row));
        m_model.setShownRow(row);
        emit currentPaneChanged(currentPane());
    });
    connect(m_tabs, &QTabBar::tabCloseRequested, this, [this](int row) { m_model.close(row); });
    connect(&m_model, &QAbstractItemModel::rowsInserted, this,
            [this](const QModelIndex &, int first, int last) { insertRows(first, last); });
    connect(&m_model, &QAbstractItemModel::rowsRemoved, this,
            [this](const QModelIndex &, int first, int last) { removeRows(first, last); });
    // A flood of whispers changes the counts many times a turn and opens
    // conversations; the tab bar lays itself out again on every change, so
    // the texts are set once the turn is over (see scheduleTabs). New tabs
    // are added then too, as many as AddTabsBudgetNs allows, the rest in the
    // turns after: each costs a layout of every tab, and a hundred at once
    // would freeze the window.
    m_tabsDue.setSingleShot(true);
    connect(&m_tabsDue, &QTimer::timeout, this, [this] {
        QList<int> rows;
        for (const int row : std::exchange(m_changedTabs, {}))
            if (row < m_tabs->count())
                rows.append(row);
        std::sort(rows.begin(), rows.end());
        updateTabs(rows);
        addTabs(int(m_panes.size()) - 1, AddTabsBudgetNs);
        m_tabsSet.start();
        if (m_tabs->count() < m_panes.size())
            scheduleTabs();
    });
    connect(&m_model, &QAbstractItemModel::dataChanged, this, [this](const QModelIndex &from, const QModelIndex &to) {
        for (int row = from.row(); row <= to.row(); ++row)
            m_changedTabs.insert(row);
        scheduleTabs();
    });
    connect(&m_model, &ConversationModel::runAppended, this, &ConversationArea::runAppended);
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

TranscriptPane *ConversationArea::currentPane()
{
    return paneAt(currentRow());
}

TranscriptPane *ConversationArea::paneAt(int row)
{
    if (row < 0 || row >= m_panes.size())
        return nullptr;
    RowPane &at = m_panes[row];
    if (!at.pane) {
        // The model keeps the row's lines; the new pane gets them all.
        auto *pane = new TranscriptPane(QStringLiteral("convMenu"), QStringLiteral("convClr"), m_stack);
        pane->setAccessibleName(tr("Conversation with %1").arg(m_model.title(row)));
        m_stack->addWidget(pane);
        at = {pane, 0};
        emit paneCreated(pane);
        m_model.replay(row, *pane);
        return pane;
    }
    if (at.missedRuns > 0) {
        // The lines the pane missed are the model's last ones, as many runs
        // as it missed. When the model let some of them go (it keeps its
        // last lines only), the pane starts again from what the model has.
        const QList<TranscriptLine> &lines = m_model.lines(row);
        qsizetype first = lines.size();
        qsizetype runs = 0;
        while (first > 0 && runs < at.missedRuns)
            runs += lines.at(--first).size();
        if (runs != at.missedRuns) {
            at.pane->clearPane();
            first = 0;
        }
        at.missedRuns = 0;
        at.pane->beginBatch();
        for (qsizetype i = first; i < lines.size(); ++i)
            for (const TranscriptRun &run : lines.at(i))
                at.pane->AddText(run.text, run.color);
        at.pane->endBatch();
    }
    return at.pane;
}

int ConversationArea::currentRow() const
{
    return m_tabs->currentIndex();
}

void ConversationArea::showRow(int row)
{
    if (row >= m_tabs->count())
        addTabs(row);
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

// Only the pane of the tab shown takes a run at once; a hidden one that was
// made counts it, to take it when its tab shows, and one not made yet gets
// all the model's lines then.
void ConversationArea::runAppended(int row, const QString &text, Rgb color)
{
    if (row <= ConversationModel::ChannelRow || row >= m_panes.size())
        return;
    RowPane &at = m_panes[row];
    if (!at.pane)
        return;
    if (row != currentRow()) {
        ++at.missedRuns;
        return;
    }
    // Within a chunk the pane is laid out once, at its end.
    if (m_inBatch && !m_batched.contains(at.pane)) {
        at.pane->beginBatch();
        m_batched.append(at.pane);
    }
    at.pane->AddText(text, color);
}

// After the turn. While texts change turn after turn (a flood), they are set
// at most every TabTextsIntervalMs: each time the bar lays out and paints
// all its tabs again, and more often than that no one reads them. A change
// after a quiet spell shows after its turn; tabs still to add go on every turn.
void ConversationArea::scheduleTabs()
{
    int wait = 0;
    if (m_tabs->count() >= m_panes.size() && m_tabsSet.isValid())
        wait = int(qMax<qint64>(0, TabTextsIntervalMs - m_tabsSet.elapsed()));
    if (m_tabsDue.isActive() && m_tabsDue.remainingTime() <= wait)
        return;
    m_tabsDue.start(wait);
}

// The rows' panes are made when their tabs are first shown; their tabs
// join the bar after the turn (addTabs), behind the tabs it has. A row
// opened between tabs the bar has gets its tab at once.
void ConversationArea::insertRows(int first, int last)
{
    for (int row = first; row <= last; ++row)
        m_panes.insert(row, RowPane{});
    if (first < m_tabs->count()) {
        for (int row = first; row <= last; ++row)
            addTab(row);
    } else {
        scheduleTabs();
    }
}

void ConversationArea::addTabs(int last, qint64 budgetNs)
{
    if (m_tabs->count() > last || m_tabs->count() >= m_panes.size())
        return;
    QElapsedTimer spent;
    spent.start();
    conversationBar(m_tabs).beginAdding();
    for (int row = m_tabs->count(); row <= last && row < m_panes.size(); ++row) {
        addTab(row);
        if (budgetNs > 0 && spent.nsecsElapsed() >= budgetNs)
            break;
    }
    conversationBar(m_tabs).endAdding();
}

void ConversationArea::addTab(int row)
{
    const QModelIndex at = m_model.index(row);
    m_tabs->insertTab(row, at.data(Qt::DisplayRole).toString());
    m_tabs->setTabToolTip(row, at.data(Qt::AccessibleTextRole).toString());
#if QT_CONFIG(accessibility)
    m_tabs->setAccessibleTabName(row, at.data(Qt::AccessibleTextRole).toString());
#endif
    if (QWidget *close = m_tabs->tabButton(row, QTabBar::RightSide))
        close->setAccessibleName(tr("Close the conversation with %1").arg(m_model.title(row)));
}

void ConversationArea::removeRows(int first, int last)
{
    for (int row = last; row >= first; --row) {
        // Gone from the list first: removing the tab may show another one.
        const QPointer<TranscriptPane> pane = m_panes.takeAt(row).pane;
        if (row < m_tabs->count())
            m_tabs->removeTab(row);
        if (pane) {
            m_stack->removeWidget(pane);
            delete pane;
        }
    }
    // Texts still to be set move with their rows.
    const int removed = last - first + 1;
    QSet<int> changed;
    for (const int row : std::exchange(m_changedTabs, {}))
        if (row < first || row > last)
            changed.insert(row > last ? row - removed : row);
    m_changedTabs = changed;
}

void ConversationArea::setTabTexts(int row)
{
    const QModelIndex at = m_model.index(row);
    m_tabs->setTabText(row, at.data(Qt::DisplayRole).toString());
    m_tabs->setTabToolTip(row, at.data(Qt::AccessibleTextRole).toString());
#if QT_CONFIG(accessibility)
    m_tabs->setAccessibleTabName(row, at.data(Qt::AccessibleTextRole).toString());
#endif
}

// A visible tab bar lays out all its tabs again on every text set; one not
// visible only notes that it must. So the texts of many tabs are set while
// the bar counts as not visible (ConversationTabBar::countAsHidden), and the
// last one is set once more after, which lays the bar out once and repaints it.
void ConversationArea::updateTabs(const QList<int> &rows)
{
    QList<int> valid;
    for (const int row : rows)
        if (row >= 0 && row < m_tabs->count())
            valid.append(row);
    if (valid.isEmpty())
        return;
    ConversationTabBar &bar = conversationBar(m_tabs);
    const bool once = valid.size() > 1 && bar.countAsHidden();
    for (const int row : valid)
        setTabTexts(row);
    if (once) {
        bar.countAsShown();
        bar.layOutAgain(valid.last());
    }
}
