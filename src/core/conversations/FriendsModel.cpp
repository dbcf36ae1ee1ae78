#include "FriendsModel.h"

#include <QRegularExpression>

FriendsModel::FriendsModel(QObject *parent)
    : QAbstractListModel(parent)
{
}

int FriendsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_friends.size());
}

QVariant FriendsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_friends.size())
        return {};
    const Friend &f = m_friends.at(index.row());
    const QString place = f.location.isEmpty() ? f.status
                                               : f.status + QStringLiteral(" \"") + f.location + QLatin1Char('"');
    switch (role) {
    case Qt::DisplayRole:
        return (f.mutual ? QStringLiteral("*") : QString()) + f.name + QStringLiteral(" - ") + place;
    case Qt::AccessibleTextRole:
    case Qt::ToolTipRole:
        return f.name + QStringLiteral(", ") + place
               + (f.client.isEmpty() ? QString() : QStringLiteral(", using ") + f.client)
               + (f.mutual ? QStringLiteral(", has added you too") : QString());
    case NameRole: return f.name;
    case MutualRole: return f.mutual;
    case StatusRole: return f.status;
    case LocationRole: return f.location;
    case ClientRole: return f.client;
    default: return {};
    }
}

// "<n>: " then "*" or a blank, the name up to the first comma, then the
// status, which the server closes with ", " and the client (" using Chat",
// empty when it knows none). A status with a place quotes it:
// `in channel "Chat",`, `in game "x"`.
std::optional<FriendsModel::Friend> FriendsModel::parseLine(const QString &infoText)
{
    static const QRegularExpression line(QStringLiteral("^\\d+: ([* ])([^, ]+), (.*)$"));
    const auto m = line.match(infoText);
    if (!m.hasMatch())
        return std::nullopt;
    Friend f;
    f.name = m.captured(2);
    f.mutual = m.captured(1) == QLatin1String("*");
    QString rest = m.captured(3);
    const qsizetype clientAt = rest.lastIndexOf(QLatin1String(", "));
    if (clientAt >= 0) {
        QString client = rest.mid(clientAt + 2).trimmed();
        if (client.startsWith(QLatin1String("using ")))
            client = client.mid(6).trimmed();
        f.client = client;
        rest.truncate(clientAt);
    }
    while (rest.endsWith(QLatin1Char(',')))
        rest.chop(1);
    const qsizetype open = rest.indexOf(QLatin1Char('"'));
    const qsizetype close = rest.lastIndexOf(QLatin1Char('"'));
    if (open >= 0 && close > open) {
        f.location = rest.mid(open + 1, close - open - 1);
        rest.truncate(open);
    }
    f.status = rest.trimmed();
    if (f.status.isEmpty())
        return std::nullopt;
    return f;
}

void FriendsModel::setFriends(const QList<Friend> &friends)
{
    beginResetModel();
    m_friends = friends;
    endResetModel();
}

int FriendsModel::find(const QString &name) const
{
    for (int row = 0; row < m_friends.size(); ++row)
        if (m_friends.at(row).name.compare(name.trimmed(), Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

void FriendsModel::setStatus(const QString &name, const QString &status)
{
    const int row = find(name);
    if (row < 0)
        return;
    Friend &f = m_friends[row];
    f.status = status;
    f.location.clear();
    emit dataChanged(index(row), index(row));
}

void FriendsModel::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

QString FriendsModel::stateText() const
{
    switch (m_state) {
    case State::NotRead: return NotReadText;
    case State::Reading: return m_friends.isEmpty() ? ReadingText : QString();
    case State::Unreadable: return UnreadableText;
    case State::Read: return m_friends.isEmpty() ? EmptyText : QString();
    }
    return {};
}
