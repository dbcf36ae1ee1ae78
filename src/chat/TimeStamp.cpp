#include "TimeStamp.h"

#include <QLocale>
#include <QRegularExpression>

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
    const QTime t = clockOverride() ? clockOverride()() : QTime::currentTime();
    Cache &c = cache();
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
}

} // namespace TimeStamp
