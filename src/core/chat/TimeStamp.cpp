#include "TimeStamp.h"

#include <QLocale>
#include <QRegularExpression>

#include <chrono>

namespace {

std::function<QTime()> &clockOverride()
{
    static std::function<QTime()> clock;
    return clock;
}

struct Cache {
    int second = -1;
    QString text;
    QString format;
    // Asking the local time costs a look at the time-zone file on every
    // call; within the current second the monotonic clock says enough.
    std::chrono::steady_clock::time_point secondEnds{};
};

Cache &cache()
{
    static Cache c;
    return c;
}

} // namespace

namespace TimeStamp {

QString timeFormat()
{
    QString f = QLocale::system().timeFormat(QLocale::LongFormat);
    // Drop the time-zone field ("t", "tt", ...) with the blanks around it.
    static const QRegularExpression zone(QStringLiteral("\\s*\\bt+\\b\\s*"));
    f.replace(zone, QStringLiteral(" "));
    f = f.trimmed();
    if (f.isEmpty())
        f = QStringLiteral("HH:mm:ss");
    return f;
}

QString now()
{
    Cache &c = cache();
    QTime t;
    if (clockOverride()) {
        t = clockOverride()();
    } else {
        const auto mono = std::chrono::steady_clock::now();
        if (mono < c.secondEnds && !c.text.isEmpty())
            return c.text;
        t = QTime::currentTime();
        // A millisecond early rather than late: the clock read above may
        // lie up to a millisecond before t.
        c.secondEnds = mono + std::chrono::milliseconds(999 - t.msec());
    }
    const int second = t.msecsSinceStartOfDay() / 1000;
    if (second != c.second || c.text.isEmpty()) {
        if (c.format.isEmpty())
            c.format = timeFormat();
        c.second = second;
        c.text = QLatin1Char('[') + QLocale::system().toString(t, c.format) + QLatin1String("]  ");
    }
    return c.text;
}

void setClockForTesting(std::function<QTime()> clock)
{
    clockOverride() = std::move(clock);
    cache().second = -1;
    cache().secondEnds = {};
}

} // namespace TimeStamp
