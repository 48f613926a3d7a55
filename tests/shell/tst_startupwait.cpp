#include "startupwait.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QtTest>

// Far above any real wait: only a wait that never ends trips it.
constexpr qint64 GenerousMarginMs = 10000;

class TestStartupWait : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void waitUntil_lastsUntilTheDeadlineAndDispatchesEvents();
    void waitUntil_returnsAtOnceWhenTheDeadlineHasPassed();
};

void TestStartupWait::waitUntil_lastsUntilTheDeadlineAndDispatchesEvents()
{
    bool queuedCallRan = false;
    QMetaObject::invokeMethod(this, [&queuedCallRan] { queuedCallRan = true; },
                              Qt::QueuedConnection);
    QElapsedTimer clock;
    clock.start();
    const QDeadlineTimer deadline(1000, Qt::PreciseTimer);

    WaitUntil(deadline);

    QVERIFY(deadline.hasExpired());
    QVERIFY2(clock.elapsed() >= 1000, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(clock.elapsed() < 1000 + GenerousMarginMs);
    QVERIFY(queuedCallRan);
}

void TestStartupWait::waitUntil_returnsAtOnceWhenTheDeadlineHasPassed()
{
    const QDeadlineTimer deadline(20);
    QTest::qSleep(40);
    bool queuedCallRan = false;
    QMetaObject::invokeMethod(this, [&queuedCallRan] { queuedCallRan = true; },
                              Qt::QueuedConnection);

    WaitUntil(deadline);

    // Nothing was dispatched: the call still waits in the queue.
    QVERIFY(!queuedCallRan);
    QCoreApplication::processEvents();
    QVERIFY(queuedCallRan);
}

QTEST_GUILESS_MAIN(TestStartupWait)
#include "tst_startupwait.moc"
