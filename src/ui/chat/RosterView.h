#pragma once
// The roster as the window shows it: the model's icon numbers become the
// product and rank images, its colours become text colours.

#include <QIdentityProxyModel>
#include <QIcon>

class RosterViewModel : public QIdentityProxyModel
{
    Q_OBJECT
public:
    explicit RosterViewModel(QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The 11 images of `bnetIcons`; index 0 is no image.
    static QIcon icon(int index);
};
