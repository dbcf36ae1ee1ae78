#pragma once
// The channel roster: one entry per user with the product code it was added
// with (the parallel product list), the small icon and the text colour.
// A list model, so that a view shows it and tests drive it without widgets.

#include <QAbstractListModel>
#include <QList>
#include "chat/Colors.h"
#include <QString>

namespace Parsing {
// The small icons of a rank; they take the place of the product's icon.
inline constexpr qint16 AdminIcon = 9;
inline constexpr qint16 OperatorIcon = 10;
inline constexpr qint16 SquelchedIcon = 11;
// The rank icon the flags give, or 0 when they give none.
qint16 RankIcon(qint16 flags);
// Administrators and operators stand out in white, in the roster and in talk.
constexpr bool StandsOut(qint16 icon) { return icon == AdminIcon || icon == OperatorIcon; }
// The small icon, 0 to 11, for a product code and a flags value: the rank's
// when the flags give one, else the product's.
qint16 ProductIcon(const QString &product, qint16 flags);
// The description used in join notices.
QString ProductText(const QString &product);
} // namespace Parsing

class RosterModel : public QAbstractListModel
{
    Q_OBJECT
public:
    // What a view shows besides the name: the small icon (0 to 11, 0 for
    // none) and the text colour as 0xRRGGBB.
    enum Role { IconRole = Qt::UserRole + 1, ColorRole };

    // An entry's text colour is Colors::Teal, or this for those who stand out.
    static constexpr Rgb RankColor = Colors::White;

    struct Entry {
        QString name;
        QString product;    // the entry of `lstProgs`
        int icon = 0;       // small icon, 0 shows none
        Rgb color = Colors::Teal;
        size_t key = 0;     // hash of the name without its surrounding blanks
    };

    explicit RosterModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // 1-based position of the last entry whose text equals name without its
    // surrounding blanks (0x20 only), or -1.
    int FindUser(const QString &name) const;
    void addUser(const QString &name, const QString &product, qint16 flags);
    void removeUser(const QString &name);
    void updateFlags(const QString &name, qint16 flags);
    // Empties the list; the count label keeps its caption.
    void clear();
    // The count label's caption: the count with one leading blank.
    void refreshCount();
    // Sets the caption as it stands (a disconnect writes the bare count).
    void setCountLabel(const QString &caption);

    QString countLabel() const { return m_countLabel; }
    int count() const { return int(m_entries.size()); }
    const Entry &entry(int position) const { return m_entries.at(position - 1); }  // 1-based
    QStringList names() const;

signals:
    void countLabelChanged(const QString &caption);

private:
    QList<Entry> m_entries;
    QString m_countLabel = QStringLiteral("0");
};
