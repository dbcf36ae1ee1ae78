#include "RosterView.h"

#include "Resources.h"
#include "chat/RosterModel.h"

#include <QColor>
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
