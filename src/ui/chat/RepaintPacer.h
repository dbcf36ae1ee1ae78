#pragma once
// Paints a view at most every intervalMs while what it shows keeps changing.
// A flood changes the transcript and the roster in every turn of the event
// loop, a hundred times a second and more, and each turn would lay out and
// paint them anew, more often than a screen shows or anybody reads. A change
// that follows the view's last paint more closely than the interval holds
// its painting until the interval is over; the view then shows what it holds
// at that moment. A change after a quiet spell shows at once.
//
// Only painting waits: the content, the scroll bars' values, selection and
// what a screen reader is told change at once.

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

class QAbstractItemModel;
class QAbstractScrollArea;

class RepaintPacer : public QObject
{
public:
    RepaintPacer(QAbstractScrollArea *view, int intervalMs);

    // The view's content changed.
    void changed();
    // Every row inserted, removed or changed in model is a change.
    void watch(QAbstractItemModel *model);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QAbstractScrollArea *m_view;
    int m_intervalMs;
    QElapsedTimer m_painted;   // since the view was last painted
    QTimer m_resume;
};
