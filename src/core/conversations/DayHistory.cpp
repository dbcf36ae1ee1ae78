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

QStringList conversationLines(const QString &file, const QString &user, int count)
{
    const QString name = user.trimmed();
    if (name.isEmpty())
        return {};
    const QString received = name + QStringLiteral(" whispers: ");
    const QString sent = QStringLiteral("You whisper to ") + name + QStringLiteral(": ");
    QStringList found;
    for (const QByteArray &bytes : lastLines(file, std::numeric_limits<int>::max())) {
        const QString line = decodeLine(bytes);
        const QStringView text = withoutStamp(line);
        if (text.startsWith(sent, Qt::CaseInsensitive)
            || (text.startsWith(received, Qt::CaseInsensitive)
                && !Whispers::friendNotice(text.mid(received.size()).toString(), name))) {
            found.append(line);
        }
    }
    if (found.size() > count)
        found.remove(0, found.size() - count);
    return found;
}

} // namespace DayHistory
