#include "RosterModel.h"

#include "Blanks.h"

#include <charconv>

namespace {

struct ProductRow {
    const char *code;
    int icon;
    const char *text;
};

constexpr ProductRow kProducts[] = {
    {"[SEXP]", 1, "using Starcraft: Brood War."},
    {"[D2DV]", 2, "using Diablo II."},
    {"[CHAT]", 3, "using a Chat bot."},
    {"[DRTL]", 4, "using Diablo."},
    {"[DSHR]", 5, "using Diablo Shareware."},
    {"[STAR]", 6, "using Starcraft."},
    {"[SSHR]", 7, "using Starcraft Shareware."},
    {"[W2BN]", 8, "using Warcraft II."},
};

// Every talk line asks for a product icon, so the codes are compared
// character by character instead of through the general string compare.
const ProductRow *findProduct(const QString &product)
{
    if (product.size() != 6)
        return nullptr;
    const QChar *p = product.constData();
    for (const ProductRow &row : kProducts) {
        int i = 0;
        while (i < 6 && p[i].unicode() == char16_t(row.code[i]))
            ++i;
        if (i == 6)
            return &row;
    }
    return nullptr;
}

} // namespace

namespace Parsing {

qint16 RankIcon(qint16 flags)
{
    const int f = flags;
    qint16 icon = 0;
    // Each rule overrides the ones before it.
    if ((f & 1) != 0 || ((f & 8) != 0 && f != 10 && f != 12))
        icon = AdminIcon;
    if (f == 12 || ((f & 2) != 0 && f != 10))
        icon = OperatorIcon;
    if ((f & 20) != 0 && f != 12)
        icon = SquelchedIcon;
    if (f == 32)
        icon = SquelchedIcon;
    return icon;
}

qint16 ProductIcon(const QString &product, qint16 flags)
{
    if (const qint16 rank = RankIcon(flags))
        return rank;
    const ProductRow *row = findProduct(product);
    return row ? qint16(row->icon) : 0;
}

QString ProductText(const QString &product)
{
    if (product.isEmpty())
        return QStringLiteral("as an Admin.");
    const ProductRow *row = findProduct(product);
    return row ? QString::fromLatin1(row->text) : QString();
}

} // namespace Parsing

RosterModel::RosterModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int RosterModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_entries.size());
}

QVariant RosterModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_entries.size())
        return {};
    const Entry &e = m_entries.at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return e.name;
    case IconRole:
        return e.icon;
    case ColorRole:
        return e.color;
    default:
        return {};
    }
}

// Every join, leave and flags change looks its name up. Each entry keeps a
// hash of its trimmed name, so that the scans compare strings only where
// the hashes agree: an entry whose text equals a trimmed name has that
// name's hash too.
int RosterModel::FindUser(const QString &name) const
{
    const QStringView wanted = Blanks::trimmed(name);
    const size_t key = qHash(wanted);
    // Of several equal entries the last one counts.
    for (qsizetype i = m_entries.size() - 1; i >= 0; --i) {
        const Entry &e = m_entries.at(i);
        if (e.key == key && e.name == wanted)
            return int(i) + 1;
    }
    return -1;
}

void RosterModel::addUser(const QString &name, const QString &product, qint16 flags)
{
    Entry e;
    e.name = name;
    e.product = product;
    e.icon = product.isEmpty() ? Parsing::AdminIcon : Parsing::ProductIcon(product, flags);
    e.key = qHash(Blanks::trimmed(name));
    const int row = int(m_entries.size());
    beginInsertRows(QModelIndex(), row, row);
    m_entries.append(e);
    endInsertRows();
    if (!product.isEmpty() && Parsing::StandsOut(e.icon)) {
        const int pos = FindUser(name);
        if (pos > 0) {
            m_entries[pos - 1].color = RankColor;
            const QModelIndex idx = index(pos - 1);
            emit dataChanged(idx, idx, {ColorRole});
        }
    }
    refreshCount();
}

void RosterModel::removeUser(const QString &name)
{
    const QStringView wanted = Blanks::trimmed(name);
    const size_t key = qHash(wanted);
    const int n = int(m_entries.size());
    // The entry that moves up into a freed position is not examined again.
    for (int j = 0; j < n; ++j) {
        if (j >= m_entries.size())
            break;
        const Entry &e = m_entries.at(j);
        if (e.key == key && Blanks::trimmed(e.name) == wanted) {
            beginRemoveRows(QModelIndex(), j, j);
            m_entries.removeAt(j);
            endRemoveRows();
        }
    }
}

void RosterModel::updateFlags(const QString &name, qint16 flags)
{
    const QStringView wanted = Blanks::trimmed(name);
    const size_t key = qHash(wanted);
    // The colour goes to the last equal entry; the names do not change here.
    const int last = FindUser(name);
    const int n = int(m_entries.size());
    for (int j = 0; j < n; ++j) {
        Entry &e = m_entries[j];
        if (e.key != key || e.name != wanted)
            continue;
        e.icon = Parsing::ProductIcon(e.product, flags);
        emit dataChanged(index(j), index(j), {IconRole});
        m_entries[last - 1].color = Parsing::StandsOut(e.icon) ? RankColor : Colors::Teal;
        emit dataChanged(index(last - 1), index(last - 1), {ColorRole});
    }
}

void RosterModel::clear()
{
    if (m_entries.isEmpty())
        return;
    beginResetModel();
    m_entries.clear();
    endResetModel();
}

void RosterModel::refreshCount()
{
    // " 12": the count behind a blank, built in one piece.
    char text[24];
    text[0] = ' ';
    const auto end = std::to_chars(text + 1, text + sizeof text, m_entries.size()).ptr;
    const QLatin1String caption(text, end - text);
    if (caption == m_countLabel)
        return;
    setCountLabel(QString(caption));
}

void RosterModel::setCountLabel(const QString &caption)
{
    if (caption == m_countLabel)
        return;
    m_countLabel = caption;
    emit countLabelChanged(caption);
}

QStringList RosterModel::names() const
{
    QStringList out;
    out.reserve(m_entries.size());
    for (const Entry &e : m_entries)
        out.append(e.name);
    return out;
}
