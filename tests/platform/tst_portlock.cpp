// Lock files of other serial programs: what they say and whether it counts.

#include "portlock.h"

#include <QCoreApplication>
#include <QFile>
#include <QProcess>
#include <QTest>

class TestPortLock : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsTheProcessId_data();
    void readsTheProcessId();
    void onlyLiveHoldersCount_data();
    void onlyLiveHoldersCount();
    void namesLockFilesAfterTheDevice_data();
    void namesLockFilesAfterTheDevice();
};

void TestPortLock::readsTheProcessId_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<qint64>("pid");  // 0: none

    QTest::newRow("UUCP, padded to ten places") << QByteArray("      1234\n") << qint64(1234);
    QTest::newRow("serial library: pid, program, host")
        << QByteArray("1234\nminicom\nhost\nid\n") << qint64(1234);
    QTest::newRow("pid and a name on one line") << QByteArray("  1234 minicom user\n") << qint64(1234);
    QTest::newRow("no line end") << QByteArray("1234") << qint64(1234);
    QTest::newRow("tab and CR") << QByteArray("\t1234\r\n") << qint64(1234);
    QTest::newRow("highest process id") << QByteArray("4194304\n") << qint64(4194304);
    QTest::newRow("beyond any process id") << QByteArray("4194305\n") << qint64(0);
    QTest::newRow("twenty digits") << QByteArray("99999999999999999999\n") << qint64(0);
    QTest::newRow("zero") << QByteArray("         0\n") << qint64(0);
    QTest::newRow("negative") << QByteArray("-1234\n") << qint64(0);
    QTest::newRow("plus sign") << QByteArray("+1234\n") << qint64(0);
    QTest::newRow("letters after the digits") << QByteArray("1234abc\n") << qint64(0);
    QTest::newRow("binary pid of old tools") << QByteArray("\xd2\x04\x00\x00", 4) << qint64(0);
    QTest::newRow("empty") << QByteArray() << qint64(0);
    QTest::newRow("spaces only") << QByteArray("   \n") << qint64(0);
    QTest::newRow("NUL after the digits") << QByteArray("1234\0", 5) << qint64(1234);
}

void TestPortLock::readsTheProcessId()
{
    QFETCH(QByteArray, content);
    QFETCH(qint64, pid);
    QCOMPARE(ParseLockFilePid(content).value_or(0), pid);
}

void TestPortLock::onlyLiveHoldersCount_data()
{
    QTest::addColumn<bool>("alive");
    QTest::newRow("live process") << true;
    QTest::newRow("process that has ended") << false;
}

void TestPortLock::onlyLiveHoldersCount()
{
    QFETCH(bool, alive);
    QProcess process;
    process.start(QStringLiteral("sleep"), {alive ? QStringLiteral("60") : QStringLiteral("0")});
    QVERIFY(process.waitForStarted());
    const qint64 pid = process.processId();
    if (!alive)
        QVERIFY(process.waitForFinished());
    const QString device = QStringLiteral("/dev/vmb-test/lock%1").arg(QCoreApplication::applicationPid());
    QFile lock(QStringLiteral("/var/lock/") + LockFileName(device));
    if (!lock.open(QIODevice::WriteOnly))
        QSKIP("No lock folder to write to.");
    lock.write(QStringLiteral("%1\n").arg(pid, 10).toLatin1());
    lock.close();

    const std::optional<PortHolder> holder = LiveLockHolder(device);
    lock.remove();
    process.kill();
    process.waitForFinished();

    QCOMPARE(IsProcessAlive(pid), false);
    // Process 1 belongs to root: an operator's signal probe is refused with
    // EPERM, and the holder is alive all the same.
    QVERIFY(IsProcessAlive(1));
    QCOMPARE(holder.has_value(), alive);
    if (alive) {
        QCOMPARE(holder->pid, pid);
        QCOMPARE(holder->name, QStringLiteral("sleep"));
        QCOMPARE(DescribeHolder(*holder), QStringLiteral("process %1, sleep").arg(pid));
    }
}

void TestPortLock::namesLockFilesAfterTheDevice_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QString>("lockFile");

    QTest::newRow("serial port") << "/dev/ttyS0" << "LCK..ttyS0";
    QTest::newRow("pseudo-terminal") << "/dev/pts/12" << "LCK..pts_12";
    QTest::newRow("outside /dev") << "/tmp/dev/x" << "LCK.._tmp_dev_x";
}

void TestPortLock::namesLockFilesAfterTheDevice()
{
    QFETCH(QString, device);
    QFETCH(QString, lockFile);
    QCOMPARE(LockFileName(device), lockFile);
}

QTEST_GUILESS_MAIN(TestPortLock)
#include "tst_portlock.moc"
