#include "DailyLog.h"

#include "TimeStamp.h"
#include "TranscriptSink.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

constexpr auto OwnerOnly = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
// The most buffer space kept between writes.
constexpr qsizetype KeptBufferBytes = 4 * 1024 * 1024;

// A run that starts a line with its own stamp: "[" + time of day + "]  ".
bool startsWithStamp(QStringView text)
{
    if (!text.startsWith(QLatin1Char('[')))
        return false;
    const qsizetype close = text.indexOf(QLatin1String("]  "));
    return close > 1 && close < 40 && !text.left(close).contains(QLatin1Char('\n'));
}

} // namespace

DailyLog::DailyLog(const QString &baseFolder, Clock clock, QObject *parent)
    : QObject(parent)
    , m_folder((baseFolder.isEmpty()
                    ? QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation)
                    : baseFolder)
               + QStringLiteral("/logs"))
    // The UTC clock needs no time-zone lookup; the day is worked out only
    // when a line starts past the current one.
    , m_clock(clock ? std::move(clock) : Clock([] { return QDateTime::currentDateTimeUtc(); }))
{
    m_timer.setSingleShot(true);
    m_timer.setInterval(1000);
    connect(&m_timer, &QTimer::timeout, this, &DailyLog::flush);
    if (QCoreApplication *app = QCoreApplication::instance())
        connect(app, &QCoreApplication::aboutToQuit, this, &DailyLog::flush);
}

DailyLog::~DailyLog()
{
    flush();
}

QString DailyLog::fileFor(QDate day) const
{
    return m_folder + QLatin1Char('/') + day.toString(QStringLiteral("yyyy-MM-dd"))
           + QStringLiteral(".log");
}

void DailyLog::append(const QString &text)
{
    if (text.isEmpty())
        return;
    if (m_atLineStart) {
        const qint64 now = m_clock().toMSecsSinceEpoch();
        if (now >= m_dayEnds || now < m_dayStarts)
            startDay(now);
    }
    appendLines(text);
}

void DailyLog::mark(const QString &text)
{
    if (!m_atLineStart)
        append(CrLf);
    append(TimeStamp::now() + QStringLiteral("*** ") + text + CrLf);
}

// Each line that starts in this run and says something without a stamp
// gets one in front.
void DailyLog::appendLines(const QString &text)
{
    // Nearly every run is a stamp, or the rest of a line begun with one:
    // those go in as they are.
    QString stamped;
    bool changed = false;
    qsizetype at = 0;
    while (at < text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), at);
        end = end < 0 ? text.size() : end + 1;
        const QStringView line = QStringView(text).mid(at, end - at);
        const bool blank = line == QLatin1String("\r\n") || line == QLatin1String("\n");
        if (m_atLineStart && !blank && !startsWithStamp(line)) {
            if (!changed)
                stamped = text.left(at);
            changed = true;
            stamped += TimeStamp::now();
        }
        if (changed)
            stamped += line;
        m_atLineStart = line.endsWith(QLatin1Char('\n'));
        at = end;
    }
    if (m_resting)
        return;
    // UTF-8 without a byte-order mark: every character shown is kept. The
    // text is encoded straight onto the end of the buffer, at most three
    // bytes a UTF-16 unit, with no copy of its own. A lone surrogate (typed
    // text may hold one) is a "?", as QString::toUtf8 writes it; the encoder
    // would write U+FFFD, so such a run is encoded by toUtf8 instead.
    const QString &out = changed ? stamped : text;
    const qsizetype had = m_buffer.size();
    m_buffer.resize(had + out.size() * 3);
    const char *end = m_encoder.appendToBuffer(m_buffer.data() + had, out);
    if (m_encoder.hasError()) {
        m_encoder.resetState();
        m_buffer.truncate(had);
        m_buffer += out.toUtf8();
    } else {
        m_buffer.truncate(end - m_buffer.constData());
    }
    if (!m_timer.isActive())
        m_timer.start();
}

void DailyLog::startDay(qint64 nowMs)
{
    flush();   // what is buffered belongs to the day before
    m_day = QDateTime::fromMSecsSinceEpoch(nowMs).date();
    m_dayStarts = QDateTime(m_day, QTime(0, 0)).toMSecsSinceEpoch();
    m_dayEnds = QDateTime(m_day.addDays(1), QTime(0, 0)).toMSecsSinceEpoch();
    m_resting = false;   // a new day tries again
}

void DailyLog::flush()
{
    m_timer.stop();
    if (m_buffer.isEmpty())
        return;
    const QString path = fileFor(m_day);
    QString reason;
    if (!write(path, &reason)) {
        m_resting = true;
        emit writeFailed(QStringLiteral("The daily log cannot be written: %1 (%2). "
                                        "Lines are not logged until tomorrow or until "
                                        "Quillon starts again.")
                             .arg(QDir::toNativeSeparators(path), reason));
    }
    // The space is kept for the next text, unless a flood made it large.
    if (m_buffer.capacity() > KeptBufferBytes)
        m_buffer.clear();
    else
        m_buffer.resize(0);
}

bool DailyLog::write(const QString &path, QString *reason)
{
    if (!QFileInfo::exists(m_folder)) {
        QDir().mkpath(QFileInfo(m_folder).path());
        QDir().mkdir(m_folder, OwnerOnly | QFileDevice::ExeOwner);
    }
    QFile file(path);
    // The mode applies to a new file; one left by an older run is made private too.
    const bool ok = file.open(QIODevice::WriteOnly | QIODevice::Append, OwnerOnly)
                    && file.setPermissions(OwnerOnly)
                    && file.write(m_buffer) == m_buffer.size() && file.flush();
    if (!ok)
        *reason = file.errorString();
    return ok;
}
