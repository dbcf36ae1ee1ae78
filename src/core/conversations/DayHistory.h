#pragma once
// The day's talk across restarts: the most recent daily log (logs/YYYY-MM-DD.log,
// see DailyLog), its last lines and when they end, and the earlier lines of
// one conversation. Log lines are CR LF ended; older logs are Windows-1252,
// newer ones UTF-8, and a day's file may hold both: each line is read as
// UTF-8 when it is valid UTF-8, else as Windows-1252.

#include <QByteArrayView>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QStringList>

namespace DayHistory {

// What the upper pane shows before connecting.
constexpr int TailLines = 100;
// At most this much of the end of a log is read: a day's file can be large.
constexpr qint64 MaxRead = 8 * 1024 * 1024;

QString decodeLine(QByteArrayView bytes);

// The newest YYYY-MM-DD.log in logsFolder (by its date), or empty.
QString latestLog(const QString &logsFolder);

struct Tail {
    QStringList lines;   // without CR LF, oldest first
    QDateTime endsAt;    // the file's date and its last time stamp (else the file's last write)
};
Tail readTail(const QString &file, int count = TailLines);

// The separator after the lines: "----- The log of 2024-05-03 up to 14:22:10 -----".
QString separatorLine(const QDateTime &endsAt);

// The lines of the log that are whispers from or to user (names compared
// without regard to case), oldest first, at most count of the last ones.
// A friend's arrival notice is no such line.
QStringList conversationLines(const QString &file, const QString &user, int count = TailLines);
// The same for every user at once, keyed by the name in lower case, from one
// reading of the file: the window reads it once, at start, so that a flood of
// whispers from new names never reads the log again.
QHash<QString, QStringList> conversationIndex(const QString &file, int count = TailLines);

} // namespace DayHistory
