// The Windows serial backend against the system's own COM ports. The runner
// (run-under-wine.py) gives the prefix COM5 as a pseudo-terminal and COM6 as
// a device that refuses writers; COM9 names nothing.

#include "portfailure.h"
#include "wincommdevice.h"
#include "windowserrortext.h"

#include <QSignalSpy>
#include <QTest>

#include <windows.h>

class TestWinCommDevice : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openFailure_data();
    void openFailure();
    void writeCompletesFromEventLoop();
};

void TestWinCommDevice::openFailure_data()
{
    QTest::addColumn<QString>("port");
    // Held open by a first device while the second tries.
    QTest::addColumn<bool>("heldFirst");
    QTest::addColumn<int>("kind");
    QTest::addColumn<unsigned long>("systemError");
    QTest::addColumn<QString>("describedAs");

    QTest::newRow("no such port") << "COM9" << false << int(WinCommDevice::DeviceNotFoundError)
                                  << (unsigned long)ERROR_FILE_NOT_FOUND << "Connect the device";
    QTest::newRow("port in use") << "COM5" << true << int(WinCommDevice::PermissionError)
                                 << (unsigned long)ERROR_ACCESS_DENIED << "Another program may hold it";
    QTest::newRow("access denied") << "COM6" << false << int(WinCommDevice::PermissionError)
                                   << (unsigned long)ERROR_ACCESS_DENIED << "Another program may hold it";
}

void TestWinCommDevice::openFailure()
{
    QFETCH(QString, port);
    QFETCH(bool, heldFirst);
    QFETCH(int, kind);
    QFETCH(unsigned long, systemError);
    QFETCH(QString, describedAs);

    WinCommDevice holder;
    if (heldFirst) {
        holder.setPortName(port);
        QVERIFY2(holder.open(QIODevice::WriteOnly), qPrintable(holder.errorString()));
    }
    WinCommDevice device;
    device.setPortName(port);
    QSignalSpy failures(&device, &WinCommDevice::errorOccurred);
    QVERIFY(!device.open(QIODevice::WriteOnly));
    QVERIFY(!device.isOpen());
    QCOMPARE(int(device.error()), kind);
    QCOMPARE(failures.size(), 1);
    // The system's own words, not a code or a text of ours.
    QCOMPARE(device.errorString(), WindowsErrorText(systemError));
    QVERIFY(!device.errorString().startsWith(QLatin1String("error ")));
    const QString description = DescribeOpenFailure(device.error(), device.errorString(), port);
    QVERIFY2(description.contains(describedAs), qPrintable(description));
    QVERIFY2(description.contains(device.errorString()), qPrintable(description));
}

void TestWinCommDevice::writeCompletesFromEventLoop()
{
    WinCommDevice device;
    device.setPortName(QStringLiteral("COM5"));
    QVERIFY(device.setBaudRate(9600));
    QVERIFY2(device.open(QIODevice::WriteOnly), qPrintable(device.errorString()));
    QSignalSpy written(&device, &WinCommDevice::bytesWritten);
    const QByteArray bytes("\r7C5\r7B05\r7AOPEN NOW\r7D");
    QCOMPARE(device.write(bytes), qint64(bytes.size()));
    // Never from inside write(): a caller feeding more from bytesWritten
    // would otherwise run inside its own write.
    QCOMPARE(written.size(), 0);
    QCOMPARE(device.bytesToWrite(), qint64(bytes.size()));
    QTRY_COMPARE(device.bytesToWrite(), qint64(0));
    qint64 total = 0;
    for (const QList<QVariant> &signal : written)
        total += signal.at(0).toLongLong();
    QCOMPARE(total, qint64(bytes.size()));
    QCOMPARE(int(device.error()), int(WinCommDevice::NoError));
}

QTEST_GUILESS_MAIN(TestWinCommDevice)
#include "tst_wincommdevice.moc"
