#include "ConversationModel.h"

#include "chat/Colors.h"
#include "chat/TimeStamp.h"

#include <QStringBuilder>

ConversationModel::ConversationModel(QObject *parent)
    : QAbstractListModel(parent)
{
    m_rows.append(Conversation{ChannelTitle, 0, false, {}});
}

int ConversationModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

QVariant ConversationModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows.size())
        return {};
    const Conversation &c = m_rows.at(index.row());
    switch (role) {
    case Qt::DisplayRole: {
        QString text = c.title;
        if (c.unread > 0)
            text += QStringLiteral(" (%1)").arg(c.unread);
        return c.alert ? QStringLiteral("! ") + text : text;
    }
    case Qt::AccessibleTextRole: {
        QString text = c.title;
        if (c.unread > 0)
            text += QStringLiteral(", %1 unread").arg(c.unread);
        return c.alert ? text + QStringLiteral(", whispered to you") : text;
    }
    case TitleRole: return c.title;
    case UnreadRole: return c.unread;
    case AlertRole: return c.alert;
    case UserRole: return userAt(index.row());
    default: return {};
    }
}

int ConversationModel::find(const QString &user) const
{
    const QString name = user.trimmed();
    if (name.isEmpty())
        return -1;
    for (int row = ChannelRow + 1; row < m_rows.size(); ++row)
        if (m_rows.at(row).title.compare(name, Qt::CaseInsensitive) == 0)
            return row;
    return -1;
}

int ConversationModel::open(const QString &user)
{
    const QString name = user.trimmed();
    if (name.isEmpty())
        return -1;
    if (const int row = find(name); row >= 0)
        return row;
    if (m_rows.size() > MaxConversations)
        return -1;
    const int row = int(m_rows.size());
    beginInsertRows({}, row, row);
    m_rows.append(Conversation{name, 0, false, {}});
    endInsertRows();
    if (m_earlier) {
        for (const QString &earlier : m_earlier(name))
            append(row, {{earlier + CrLf, Colors::Grey}});
    }
    return row;
}

bool ConversationModel::close(int row)
{
    if (row <= ChannelRow || row >= m_rows.size())
        return false;
    // The shown tab goes to its left neighbour, which is read then; a tab
    // after it moves up one.
    const bool wasShown = m_shown == row;
    if (m_shown >= row)
        --m_shown;
    beginRemoveRows({}, row, row);
    m_rows.removeAt(row);
    endRemoveRows();
    if (wasShown)
        setShownRow(m_shown);
    return true;
}

int ConversationModel::record(const QString &user, Direction direction, const TranscriptLine &line)
{
    const int row = open(user);
    if (row < 0)
        return -1;
    append(row, line);
    // The user's own lines are read already.
    if (direction == Direction::Received)
        count(row, true);
    return row;
}

// [stamp]  alice whispers: psst
int ConversationModel::recordReceived(const QString &from, const QString &text)
{
    const QString name = from.trimmed();
    return record(name, Direction::Received,
                  {{TimeStamp::now(), Colors::Red},
                   {name % QLatin1String(" whispers: "), Colors::Green},
                   {text % CrLf, Colors::Grey}});
}

// [stamp]  You whisper to alice: psst
int ConversationModel::recordSent(const QString &to, const QString &text)
{
    const QString name = to.trimmed();
    return record(name, Direction::Sent,
                  {{TimeStamp::now(), Colors::Red},
                   {QLatin1String("You whisper to ") % name % QLatin1String(": "), Colors::Green},
                   {text % CrLf, Colors::Grey}});
}

void ConversationModel::recordChannelLine(bool alert)
{
    count(ChannelRow, alert);
}

void ConversationModel::setShownRow(int row)
{
    if (row < 0 || row >= m_rows.size())
        return;
    m_shown = row;
    Conversation &c = m_rows[row];
    if (c.unread == 0 && !c.alert)
        return;
    c.unread = 0;
    c.alert = false;
    changed(row);
}

QString ConversationModel::title(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).title : QString();
}

int ConversationModel::unread(int row) const
{
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).unread : 0;
}

bool ConversationModel::alert(int row) const
{
    return row >= 0 && row < m_rows.size() && m_rows.at(row).alert;
}

QString ConversationModel::lineToSend(int row, const QString &typed) const
{
    const QString user = userAt(row);
    if (user.isEmpty() || typed.isEmpty() || typed.startsWith(QLatin1Char('/')))
        return typed;
    return QLatin1String("/w ") % user % QLatin1Char(' ') % typed;
}

const QList<TranscriptLine> &ConversationModel::lines(int row) const
{
    static const QList<TranscriptLine> none;
    return row >= 0 && row < m_rows.size() ? m_rows.at(row).lines : none;
}

void ConversationModel::replay(int row, TranscriptSink &sink) const
{
    sink.beginBatch();
    for (const TranscriptLine &line : lines(row))
        for (const TranscriptRun &run : line)
            sink.AddText(run.text, run.color);
    sink.endBatch();
}

void ConversationModel::append(int row, const TranscriptLine &line)
{
    QList<TranscriptLine> &lines = m_rows[row].lines;
    lines.append(line);
    if (lines.size() > MaxLines)
        lines.removeFirst();
    for (const TranscriptRun &run : line)
        emit runAppended(row, run.text, run.color);
}

void ConversationModel::count(int row, bool alert)
{
    if (row == m_shown)
        return;
    Conversation &c = m_rows[row];
    ++c.unread;
    c.alert = c.alert || alert;
    changed(row);
}

void ConversationModel::changed(int row)
{
    const QModelIndex at = index(row);
    emit dataChanged(at, at, {Qt::DisplayRole, Qt::AccessibleTextRole, UnreadRole, AlertRole});
}
