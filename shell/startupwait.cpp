#include "startupwait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

void WaitUntil(const QDeadlineTimer &deadline)
{
    Q_ASSERT(!deadline.isForever());
    // A timer may fire a little early, and a nested loop may be told to quit
    // by someone else, so the deadline itself decides when the wait is over.
    while (!deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(deadline.remainingTime(), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}
