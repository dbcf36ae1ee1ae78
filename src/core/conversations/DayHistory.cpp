#include "DayHistory.h"

#include "Whispers.h"
#include "chat/TimeStamp.h"
#include "codec/Wire.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace {

// The last lines of the file, at most MaxRead bytes of it, as raw bytes. A
// line cut by the read limit is dropped; an unfinished last line is kept.
QList<QByteArray> lastLines(const QString &file, int count)
{
    QFile f(file);
    if (count <= 0 || !f.open(QIODevice::ReadOnly))
        return {};
    const qint64 size = f.size();
    const qint64 from = std::max<qint64>(0, size - DayHistory::MaxRead);
    if (!f.seek(from))
        return {};
    QByteArray bytes = f.readAll();
    if (bytes.endsWith("\r\n"))
        bytes.chop(2);
    QList<QByteArray> lines = bytes.split('\n');
    if (from > 0 && !lines.isEmpty())
        lines.removeFirst();
    if (bytes.isEmpty())
        lines.clear();
    for (QByteArray &line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    if (lines.size() > count)
        lines.remove(0, lines.size() - count);
    return lines;
}

// "[14:22:10]  ...": the time of the stamp, in the format the panes write.
QTime stampTime(const QString &line)
{
    if (!line.startsWith(QLatin1Char('[')))
        return {};
    const qsizetype end = line.indexOf(QLatin1Char(']'));
    if (end < 0)
        return {};
    return QLocale::system().toTime(line.mid(1, end - 1), TimeStamp::timeFormat());
}

// The line without its "[stamp]  ".
QStringView withoutStamp(const QString &line)
{
    static const QRegularExpression stamp(QStringLiteral("^\\[[^\\]]*\\]\\s+"));
    const auto m = stamp.match(line);
    return m.hasMatch() ? QStringView(line).mid(m.capturedEnd()) : QStringView(line);
}

} // namespace

namespace DayHistory {

QString decodeLine(QByteArrayView bytes)
{
    return Wire::decodeLine(bytes, Wire::Encoding::windows1252());
}

QString latestLog(const QString &logsFolder)
{
    static const QRegularExpression dated(QStringLiteral("^\\d{4}-\\d{2}-\\d{2}\\.log$"));
    QStringList names = QDir(logsFolder).entryList({QStringLiteral("*.log")}, QDir::Files, QDir::Name);
    // The names sort by date; the newest valid one wins.
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        if (dated.match(*it).hasMatch()
            && QDate::fromString(it->left(10), QStringLiteral("yyyy-MM-dd")).isValid())
            return QDir(logsFolder).filePath(*it);
    }
    return {};
}

Tail readTail(const QString &file, int count)
{
    Tail tail;
    for (const QByteArray &line : lastLines(file, count))
        tail.lines.append(decodeLine(line));
    const QFileInfo info(file);
    const QDate day = QDate::fromString(info.completeBaseName(), QStringLiteral("yyyy-MM-dd"));
    QTime end;
    for (auto it = tail.lines.crbegin(); it != tail.lines.crend() && !end.isValid(); ++it)
        end = stampTime(*it);
    if (day.isValid() && end.isValid())
        tail.endsAt = QDateTime(day, end);
    else
        tail.endsAt = info.lastModified();
    return tail;
}

QString separatorLine(const QDateTime &endsAt)
{
    return QStringLiteral("----- The log of %1 up to %2 -----")
        .arg(endsAt.date().toString(QStringLiteral("yyyy-MM-dd")),
             QLocale::system().toString(endsAt.time(), TimeStamp::timeFormat()));
}

QHash<QString, QStringList> conversationIndex(const QString &file, int count)
{
    static const QString sentMark = QStringLiteral("You whisper to ");
    static const QString receivedMark = QStringLiteral(" whispers: ");
    QHash<QString, QStringList> index;
    for (const QByteArray &bytes : lastLines(file, std::numeric_limits<int>::max())) {
        const QString line = decodeLine(bytes);
        const QStringView text = withoutStamp(line);
        QStringView name;
        if (text.startsWith(sentMark, Qt::CaseInsensitive)) {
            const QStringView rest = text.mid(sentMark.size());
            name = rest.left(rest.indexOf(QLatin1String(": ")));
        } else if (const qsizetype at = text.indexOf(receivedMark, 0, Qt::CaseInsensitive); at > 0) {
            name = text.left(at);
            // A friend's arrival notice comes as a whisper, but is no talk.
            if (Whispers::friendNotice(text.mid(at + receivedMark.size()).toString(), name.toString()))
                continue;
        }
        // Names hold no blanks: anything else is a line of another kind.
        if (name.isEmpty() || name.contains(QLatin1Char(' ')))
            continue;
        QStringList &lines = index[name.toString().toLower()];
        lines.append(line);
        if (lines.size() > count)
            lines.removeFirst();
    }
    return index;
}

QStringList conversationLines(const QString &file, const QString &user, int count)
{
    const QString name = user.trimmed();
    return name.isEmpty() ? QStringList() : conversationIndex(file, count).value(name.toLower());
}

} // namespace DayHistory
