#pragma once
// The upper pane with its tabs: "Channel" first (the channel pane the window
// already has), then one pane per conversation of the ConversationModel.
// The tabs show the model's titles with unread counts and alert marks; the
// pane of the tab shown gets the model's runs as they come. Ctrl+Tab and
// Ctrl+Shift+Tab go to the next and the previous tab, Ctrl+W closes a
// conversation.
//
// A conversation's pane is made when its tab is first shown, from the lines
// the model keeps; while its tab is hidden its lines go only to the model,
// and the pane takes the ones it missed when the tab is shown again. A flood
// of whispers from many names so lays out one pane, the one the user reads.

#include "chat/TranscriptSink.h"

#include <QElapsedTimer>
#include <QList>
#include <QPointer>
#include <QSet>
#include <QTimer>
#include <QWidget>

class ConversationModel;
class QStackedWidget;
class QTabBar;
class TranscriptPane;

class ConversationArea : public QWidget
{
    Q_OBJECT
public:
    ConversationArea(ConversationModel &model, TranscriptPane *channelPane, QWidget *parent = nullptr);

    QTabBar *tabBar() const { return m_tabs; }
    // The pane of the tab shown: where find, links and name completion work.
    TranscriptPane *currentPane();
    // The row's pane with all its lines, made or brought up to date now.
    TranscriptPane *paneAt(int row);
    int currentRow() const;

public slots:
    void showRow(int row);
    void nextTab();
    void previousTab();
    // Ctrl+W: the conversation shown closes; the channel tab stays.
    void closeCurrent();

signals:
    // A conversation's pane was made: the window gives it its font and scrollback.
    void paneCreated(TranscriptPane *pane);
    void currentPaneChanged(TranscriptPane *pane);

private:
    // A row's pane, none until its tab is first shown, and the runs the
    // model appended to the row since the pane last took its lines.
    struct RowPane {
        QPointer<TranscriptPane> pane;
        qsizetype missedRuns = 0;
    };
    QList<RowPane> m_panes;   // by row, the channel's first
    QTimer m_tabsDue;   // the tab texts are due for an update
    QElapsedTimer m_tabsSet;   // since they were last set
    QSet<int> m_changedTabs;
    bool m_inBatch = false;
    QList<QPointer<TranscriptPane>> m_batched;   // panes with an open batch
    void insertRows(int first, int last);
    // Tabs for the rows up to last that the bar lacks; with a budget, only
    // as many as it allows (at least one).
    void addTabs(int last, qint64 budgetNs = 0);
    void scheduleTabs();
    void addTab(int row);
    void removeRows(int first, int last);
    void updateTabs(const QList<int> &rows);
    void setTabTexts(int row);
    void runAppended(int row, const QString &text, Rgb color);

    ConversationModel &m_model;
    QTabBar *m_tabs;
    QStackedWidget *m_stack;
};
