#pragma once
// The roster as the window shows it: the model's icon numbers become the
// product and rank images, its colours become text colours.

#include <QElapsedTimer>
#include <QIdentityProxyModel>
#include <QIcon>
#include <QTimer>

class QAbstractItemView;

class RosterViewModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    explicit RosterViewModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The 11 images of `bnetIcons`; index 0 is no image.
    static QIcon icon(int index);
};

// A flood of comings and goings changes the roster in every turn, and the
// view would be laid out and painted anew each time. While changes keep
// coming, the view shows them at most every intervalMs: a change that
// follows the last paint more closely holds the view's painting until the
// interval is over, and the view then shows the roster as it is. A change
// after a quiet spell shows at once.
class RepaintPacer : public QObject
{
public:
    RepaintPacer(QAbstractItemView *view, int intervalMs);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void changed();

    QAbstractItemView *m_view;
    int m_intervalMs;
    QElapsedTimer m_painted;   // since the view was last painted
    QTimer m_resume;
};
