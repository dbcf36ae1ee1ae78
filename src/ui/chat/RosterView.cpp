#include "RosterView.h"

#include "Resources.h"
#include "chat/RosterModel.h"

#include <QAbstractItemView>
#include <QColor>
#include <QEvent>
#include <QList>

RosterViewModel::RosterViewModel(QObject *parent)
    : QIdentityProxyModel(parent)
{
}

QVariant RosterViewModel::data(const QModelIndex &index, int role) const
{
    switch (role) {
    case Qt::DecorationRole: {
        const int n = QIdentityProxyModel::data(index, RosterModel::IconRole).toInt();
        return n > 0 ? QVariant(icon(n)) : QVariant();
    }
    case Qt::ForegroundRole: {
        const QVariant rgb = QIdentityProxyModel::data(index, RosterModel::ColorRole);
        return rgb.isValid() ? QVariant(QColor(QRgb(rgb.toUInt()))) : QVariant();
    }
    default:
        return QIdentityProxyModel::data(index, role);
    }
}

QIcon RosterViewModel::icon(int index)
{
    static const QList<QIcon> icons = [] {
        initQuillonResources();
        QList<QIcon> list;
        list.append(QIcon());
        for (int i = 1; i <= 11; ++i)
            list.append(QIcon(QStringLiteral(":/icons/bnet-%1.svg").arg(i)));
        return list;
    }();
    return (index >= 1 && index <= 11) ? icons.at(index) : QIcon();
}

// The view's model is watched as it is now; the pacer is made after the
// view has its model.
RepaintPacer::RepaintPacer(QAbstractItemView *view, int intervalMs)
    : QObject(view)
    , m_view(view)
    , m_intervalMs(intervalMs)
{
    m_resume.setSingleShot(true);
    connect(&m_resume, &QTimer::timeout, this, [this] { m_view->setUpdatesEnabled(true); });
    view->viewport()->installEventFilter(this);
    if (QAbstractItemModel *model = view->model()) {
        connect(model, &QAbstractItemModel::rowsInserted, this, &RepaintPacer::changed);
        connect(model, &QAbstractItemModel::rowsRemoved, this, &RepaintPacer::changed);
        connect(model, &QAbstractItemModel::dataChanged, this, &RepaintPacer::changed);
    }
}

bool RepaintPacer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Paint)
        m_painted.start();
    return QObject::eventFilter(watched, event);
}

void RepaintPacer::changed()
{
    if (m_resume.isActive() || !m_painted.isValid())
        return;
    const qint64 since = m_painted.elapsed();
    if (since >= m_intervalMs)
        return;
    m_view->setUpdatesEnabled(false);
    m_resume.start(int(m_intervalMs - since));
}
