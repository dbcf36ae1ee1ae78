#include "RepaintPacer.h"

#include <QAbstractItemModel>
#include <QAbstractScrollArea>
#include <QEvent>

RepaintPacer::RepaintPacer(QAbstractScrollArea *view, int intervalMs)
    : QObject(view)
    , m_view(view)
    , m_intervalMs(intervalMs)
{
    m_resume.setSingleShot(true);
    connect(&m_resume, &QTimer::timeout, this, [this] { m_view->setUpdatesEnabled(true); });
    view->viewport()->installEventFilter(this);
}

void RepaintPacer::watch(QAbstractItemModel *model)
{
    connect(model, &QAbstractItemModel::rowsInserted, this, &RepaintPacer::changed);
    connect(model, &QAbstractItemModel::rowsRemoved, this, &RepaintPacer::changed);
    connect(model, &QAbstractItemModel::dataChanged, this, &RepaintPacer::changed);
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
