#pragma once
// "[" + local time of day + "]  ", in the locale's long time style without a
// time zone. The text is cached for the current second, so a flood of lines
// does not format the time again for each of them.

#include <QString>
#include <QTime>
#include <functional>

namespace TimeStamp {

QString now();

// The locale's long time format with its time-zone part removed.
QString timeFormat();

// Tests pin the clock; an empty function restores the real one.
void setClockForTesting(std::function<QTime()> clock);

} // namespace TimeStamp
