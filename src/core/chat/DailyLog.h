#pragma once
// The continuous log: every transcript run, as the panes get it (time stamp,
// text and CR LF), appended to logs/YYYY-MM-DD.log (local date) under a base
// folder, in UTF-8, readable by its owner only.
//
// The log tells the story of the day: every line in it starts with a time
// stamp. A line that comes without one of its own ("Disconnected.") gets the
// current one in front, in the log only; blank lines stay blank. Marks (the
// start and exit of Quillon, each connection and disconnection) are lines of
// their own, stamped, that only the log holds.
//
// Text is buffered and written at least once a second and when the log is
// destroyed or the application quits, so a crash loses at most the last
// second. A new file starts with the first line after local midnight; a
// line begun before midnight ends in the old day's file. When a file cannot
// be written, writeFailed is emitted once and the log rests, dropping text,
// until the next day (or the next start); the chat goes on regardless.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QObject>
#include <QString>
#include <QStringEncoder>
#include <QTimer>

#include <functional>

class DailyLog : public QObject
{
    Q_OBJECT
public:
    using Clock = std::function<QDateTime()>;

    // An empty baseFolder means the application's local data folder
    // (on Linux $XDG_DATA_HOME/Ashgrove/Quillon); an empty clock the real one.
    explicit DailyLog(const QString &baseFolder = QString(), Clock clock = {},
                      QObject *parent = nullptr);
    ~DailyLog() override;

    // One run of transcript text.
    void append(const QString &text);
    // A stamped line of its own, "[time]  *** text"; a line being written
    // is ended first.
    void mark(const QString &text);
    // Writes what is buffered now.
    void flush();

    // The longest a run waits in memory; 1000 ms unless changed.
    void setFlushInterval(int ms) { m_timer.setInterval(ms); }

    QString folder() const { return m_folder; }
    QString fileFor(QDate day) const;

signals:
    // Once per failure, for one red line in the transcript.
    void writeFailed(const QString &message);

private:
    void startDay(qint64 nowMs);
    void appendLines(const QString &text);
    bool write(const QString &path, QString *reason);

    QString m_folder;
    Clock m_clock;
    QTimer m_timer;
    QByteArray m_buffer;
    // Each run on its own, as QString::toUtf8 would have it.
    QStringEncoder m_encoder{QStringEncoder::Utf8, QStringEncoder::Flag::Stateless};
    QDate m_day;
    qint64 m_dayStarts = 0;   // the day's local midnights, in ms since the epoch
    qint64 m_dayEnds = 0;
    bool m_atLineStart = true;
    bool m_resting = false;   // a write failed today
};
