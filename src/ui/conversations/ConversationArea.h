#pragma once
// The upper pane with its tabs: "Channel" first (the channel pane the window
// already has), then one pane per conversation of the ConversationModel.
// The tabs show the model's titles with unread counts and alert marks; the
// panes get the model's runs as they come. Ctrl+Tab and Ctrl+Shift+Tab go
// to the next and the previous tab, Ctrl+W closes a conversation.

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
    TranscriptPane *currentPane() const;
    TranscriptPane *paneAt(int row) const;
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
    QTimer m_tabsDue;   // the tab texts are due for an update
    QSet<int> m_changedTabs;
    bool m_inBatch = false;
    QList<QPointer<TranscriptPane>> m_batched;   // panes with an open batch
    void insertRows(int first, int last);
    void removeRows(int first, int last);
    void updateTabs(int first, int last);

    ConversationModel &m_model;
    QTabBar *m_tabs;
    QStackedWidget *m_stack;
};
