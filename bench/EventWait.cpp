#include "EventWait.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

namespace EventWait {

bool until(const std::function<bool()> &done, int timeoutMs)
{
    // A slow tick makes sure the wait wakes up to look at the clock.
    QTimer tick;
    tick.start(20);
    QDeadlineTimer deadline(timeoutMs);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

} // namespace EventWait
