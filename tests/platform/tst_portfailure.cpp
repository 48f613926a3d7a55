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
    void adviceFitsOwnerGroupAndMode_data();
    void adviceFitsOwnerGroupAndMode();
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

void TestPortFailure::adviceFitsOwnerGroupAndMode_data()
{
    QTest::addColumn<DeviceAccess>("access");
    QTest::addColumn<QString>("advice"); // the second line

    QTest::newRow("root alone, as ttyS0 often is")
        << DeviceAccess{"root", "root", 0600, true}
        << "Only root may open it; joining a group does not help. Choose another device, or have the "
           "administrator give this one to the \"dialout\" group.";
    QTest::newRow("group without write")
        << DeviceAccess{"root", "dialout", 0640, false}
        << "Only root may open it; joining a group does not help. Choose another device, or have the "
           "administrator give this one to the \"dialout\" group.";
    QTest::newRow("member since this session")
        << DeviceAccess{"root", "dialout", 0660, true}
        << "You joined the \"dialout\" group after this session began: log out and log in again.";
    QTest::newRow("not a member of another group")
        << DeviceAccess{"root", "uucp", 0660, false}
        << "Members of the \"uucp\" group may open it: run \"sudo adduser $USER uucp\", then log out and "
           "log in again.";
}

void TestPortFailure::adviceFitsOwnerGroupAndMode()
{
    QFETCH(DeviceAccess, access);
    QFETCH(QString, advice);
    const QStringList lines =
        DescribeNoPermission("/dev/ttyS0", "Permission denied", access).split(QChar(13));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines.first(), QStringLiteral("/dev/ttyS0: Permission denied. It belongs to %1, group %2, mode 0%3.")
                                .arg(access.owner, access.group, QString::number(access.mode, 8)));
    QCOMPARE(lines.last(), advice);
}

QTEST_GUILESS_MAIN(TestPortFailure)
#include "tst_portfailure.moc"
