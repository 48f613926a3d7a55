#include "portfailure.h"

#include <QCoreApplication>
#include <QFile>
#include <QTest>

class TestPortFailure : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsTheLockHolder_data();
    void findsTheLockHolder();
    void neverGivesAnEmptyReason_data();
    void neverGivesAnEmptyReason();
    void explainsHowToGetAccess();
    void keepsTheSystemsReason();
};

void TestPortFailure::findsTheLockHolder_data()
{
    QTest::addColumn<QByteArray>("lockContent");
    QTest::addColumn<bool>("named");

    const QByteArray pid = QByteArray::number(QCoreApplication::applicationPid());
    QTest::newRow("serial library's lock") << pid + "\ntst_portfailure\nhost\n" << true;
    QTest::newRow("UUCP lock, pid padded") << QByteArray("      ") + pid + "\n" << true;
    QTest::newRow("no pid") << QByteArray("garbage\n") << false;
    QTest::newRow("empty") << QByteArray() << false;
}

void TestPortFailure::findsTheLockHolder()
{
    QFETCH(QByteArray, lockContent);
    QFETCH(bool, named);
    // A device name no real device has, in the first lock folder looked at.
    const QString device = QStringLiteral("/dev/vmb-test/port%1").arg(QCoreApplication::applicationPid());
    QFile lock(QStringLiteral("/var/lock/LCK..vmb-test_port%1").arg(QCoreApplication::applicationPid()));
    if (!lock.open(QIODevice::WriteOnly))
        QSKIP("No lock folder to write to.");
    lock.write(lockContent);
    lock.close();

    const QString holder = LockHolder(device);
    lock.remove();

    const QString expected = QStringLiteral("process %1, %2")
                                 .arg(QCoreApplication::applicationPid())
                                 .arg(QStringLiteral("tst_portfailure"));
    QCOMPARE(holder, named ? expected : QString());
}

void TestPortFailure::neverGivesAnEmptyReason_data()
{
    QTest::addColumn<QSerialPort::SerialPortError>("error");
    QTest::addColumn<QString>("systemText");

    QTest::newRow("unknown error without a text") << QSerialPort::UnknownError << "Unknown error";
    QTest::newRow("no error") << QSerialPort::NoError << "Unknown error";
    QTest::newRow("empty text") << QSerialPort::OpenError << "";
}

void TestPortFailure::keepsTheSystemsReason()
{
    // The serial library files errors it has no code for (a directory, say)
    // as unknown, but with the system's own text.
    const QString description =
        DescribeOpenFailure(QSerialPort::UnknownError, QStringLiteral("Is a directory"), QStringLiteral("/tmp"));

    QCOMPARE(description, QStringLiteral("/tmp: Is a directory."));
}

void TestPortFailure::neverGivesAnEmptyReason()
{
    QFETCH(QSerialPort::SerialPortError, error);
    QFETCH(QString, systemText);

    for (const QString &description :
         {DescribeOpenFailure(error, systemText, QStringLiteral("/dev/ttyUSB0")),
          DescribeWriteFailure(error, systemText, QStringLiteral("/dev/ttyUSB0"))}) {
        QVERIFY2(!description.contains(QStringLiteral("Unknown error")), qPrintable(description));
        QVERIFY2(description.startsWith(QStringLiteral("/dev/ttyUSB0: the system gave no reason")),
                 qPrintable(description));
    }
    const QString settings = DescribeSettingsFailure(error, systemText, QStringLiteral("9600,N,8,1"));
    QVERIFY2(!settings.contains(QStringLiteral("Unknown error")), qPrintable(settings));
    QVERIFY2(settings.endsWith(QStringLiteral("the system gave no reason.")), qPrintable(settings));
}

void TestPortFailure::explainsHowToGetAccess()
{
    // A device this user may not write to: the advice names the group that
    // gives access. A missing path fails the access check even for root.
    const QString path = QStringLiteral("/nonexistent/ttyUSB7");
    const QString description =
        DescribeOpenFailure(QSerialPort::PermissionError, QStringLiteral("Permission denied"), path);
    QVERIFY2(description.contains(path), qPrintable(description));
    QVERIFY2(description.contains(QStringLiteral("Permission denied")), qPrintable(description));
    QVERIFY2(description.contains(QStringLiteral("dialout")), qPrintable(description));
}

QTEST_GUILESS_MAIN(TestPortFailure)
#include "tst_portfailure.moc"
