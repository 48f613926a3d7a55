// When queued output counts as stuck: only when nothing at all leaves for
// the allowed time, never because a line is slow or the queue is long.

#include "outputprogress.h"

#include <QList>
#include <QTest>

namespace {

constexpr qint64 AllowedStillMs = 2000;

// One look: the time and what was still queued.
struct Look
{
    qint64 atMs;
    qint64 pending;
};

} // namespace

Q_DECLARE_METATYPE(QList<Look>)

class TestOutputProgress : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void reportsEachStallOnce_data();
    void reportsEachStallOnce();
};

void TestOutputProgress::reportsEachStallOnce_data()
{
    QTest::addColumn<qint64>("startPending");
    QTest::addColumn<QList<Look>>("looks");
    QTest::addColumn<QList<int>>("reportedAt");  // indexes of the looks that report

    // 960 bytes a second, looked at every 200 ms, for 20 s.
    QList<Look> slowLine;
    for (int i = 1; i <= 100; ++i)
        slowLine.append({i * 200, 20000 - i * 192});
    QTest::newRow("slow line keeps moving") << qint64(20000) << slowLine << QList<int>{};

    QTest::newRow("nothing leaves: once, at the allowed time")
        << qint64(5000) << QList<Look>{{1000, 5000}, {1999, 5000}, {2000, 5000}, {3000, 5000}, {9000, 5000}}
        << QList<int>{2};
    QTest::newRow("one byte leaving is progress")
        << qint64(5000) << QList<Look>{{1900, 4999}, {3800, 4998}, {5700, 4997}} << QList<int>{};
    QTest::newRow("more sent meanwhile is no progress")
        << qint64(5000) << QList<Look>{{500, 6000}, {1500, 7000}, {2000, 7000}} << QList<int>{2};
    QTest::newRow("stuck, moving again, stuck again: twice")
        << qint64(5000)
        << QList<Look>{{2000, 5000}, {2500, 4000}, {4000, 4000}, {4500, 4000}, {6000, 4000}}
        << QList<int>{0, 3};
    QTest::newRow("all gone: nothing to report")
        << qint64(5000) << QList<Look>{{100, 0}, {5000, 0}} << QList<int>{};
}

void TestOutputProgress::reportsEachStallOnce()
{
    QFETCH(qint64, startPending);
    QFETCH(QList<Look>, looks);
    QFETCH(QList<int>, reportedAt);
    OutputProgress progress(AllowedStillMs);
    progress.Start(startPending, 0);

    QList<int> reported;
    for (int i = 0; i < looks.size(); ++i) {
        if (progress.Observe(looks[i].pending, looks[i].atMs))
            reported.append(i);
        // A report means stalled; stalled without a new report means the same stall.
        if (reported.contains(i))
            QVERIFY(progress.Stalled());
    }
    QCOMPARE(reported, reportedAt);
}

QTEST_GUILESS_MAIN(TestOutputProgress)
#include "tst_outputprogress.moc"
