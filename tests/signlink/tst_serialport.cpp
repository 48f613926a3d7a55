// The real serial control against a real pseudo-terminal: what the console
// writes is read back on the master side.

#include "commport.h"
#include "ptypair.h"
#include "qtserialcontrol.h"
#include "recordingmessageboxes.h"
#include "signcommand.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QSerialPort>
#include <QTest>

#include <memory>

namespace {

constexpr int LinkedPort = 5;

// A pty linked as port LinkedPort in a temporary config home.
struct LinkedPty
{
    TempConfigHome home;
    std::unique_ptr<PtyPair> pty = std::make_unique<PtyPair>();

    [[nodiscard]] bool ready() const
    {
        return pty->isValid() && home.linkPort(LinkedPort, pty->slavePath());
    }
};

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sendsTheCommandByteForByte_data();
    void sendsTheCommandByteForByte();
    void closingRightAfterOutputLosesNothing_data();
    void closingRightAfterOutputLosesNothing();
    void deviceThatTakesNothingIsGivenUpOn();
    void missingDeviceIsNotAvailable_data();
    void missingDeviceIsNotAvailable();
    void portHeldByAnotherCannotBeOpened_data();
    void portHeldByAnotherCannotBeOpened();
    void malformedSettingsAreRefused();
    void writeFailsOnceTheOtherEndIsGone();
    void outputOnAClosedPortFails();
};

void TestSerialPort::sendsTheCommandByteForByte_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("worked example 1")
        << BuildSignCommand(QStringLiteral("7"), 2, QStringLiteral("75"), QStringLiteral("HELLO"))
        << QByteArray::fromHex("0D3743320D374237350D374148454C4C4F0D3744");
    QTest::newRow("worked example 2")
        << BuildSignCommand(QStringLiteral("07"), 5, QStringLiteral("5"), QStringLiteral(" OPEN NOW "))
        << QByteArray::fromHex("0D303743350D30374230350D3037414F50454E204E4F570D303744");
    QTest::newRow("beyond ASCII: e-acute, euro, CJK, emoji")
        << QStringLiteral("é€中\U0001F600") << QByteArray("\xE9\x80??");
}

void TestSerialPort::sendsTheCommandByteForByte()
{
    QFETCH(QString, command);
    QFETCH(QByteArray, bytes);
    LinkedPty line;
    QVERIFY(line.ready());
    QtSerialControl control;
    RecordingMessageBoxes boxes;

    const CommPortOutcome outcome =
        OpenCommPort(QStringLiteral("COM%1").arg(LinkedPort), control, boxes);
    QVERIFY(outcome.open);
    QCOMPARE(outcome.statusSuffix, QStringLiteral("COM%1").arg(LinkedPort));
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(control.DevicePath(), QFileInfo(line.pty->slavePath()).canonicalFilePath());

    const PortStatus status = control.Output(command);
    QVERIFY2(status.ok, qPrintable(status.description));
    // Read without running the event loop: the bytes must already be there.
    QCOMPARE(line.pty->readMaster(bytes.size()).toHex(' '), bytes.toHex(' '));
    QCOMPARE(line.pty->drainMaster(), QByteArray());
}

void TestSerialPort::closingRightAfterOutputLosesNothing_data()
{
    QTest::addColumn<bool>("byDestructor");
    QTest::addColumn<int>("length");

    QTest::newRow("Close, one command") << false << 0;
    // Longer than one chunk of the serial library, short enough for the
    // pty to hold while nobody reads it.
    QTest::newRow("Close, long message") << false << 12000;
    QTest::newRow("destructor, long message") << true << 12000;
}

void TestSerialPort::closingRightAfterOutputLosesNothing()
{
    QFETCH(bool, byDestructor);
    QFETCH(int, length);
    LinkedPty line;
    QVERIFY(line.ready());
    const QString message(length, QLatin1Char('M'));
    const QString command = BuildSignCommand(QStringLiteral("1"), 0, QStringLiteral("99"), message);
    const QByteArray expected = command.toLatin1();

    auto control = std::make_unique<QtSerialControl>();
    QVERIFY(control->SetCommPort(LinkedPort).ok);
    QVERIFY(control->SetSettings(QString::fromLatin1(SignLineSettings)).ok);
    QVERIFY(control->Open().ok);
    const PortStatus status = control->Output(command);
    QVERIFY2(status.ok, qPrintable(status.description));
    if (byDestructor) {
        control.reset();
    } else {
        control->Close();
        QVERIFY(!control->IsOpen());
    }

    const QByteArray received = line.pty->readMaster(expected.size());
    QCOMPARE(received.size(), expected.size());
    QCOMPARE(received, expected);
}

void TestSerialPort::deviceThatTakesNothingIsGivenUpOn()
{
    LinkedPty line;
    QVERIFY(line.ready());
    QtSerialControl control;
    QVERIFY(control.SetCommPort(LinkedPort).ok);
    QVERIFY(control.Open().ok);
    // Far more than a pty holds while its master is not read.
    const QByteArray expected(100000, 'x');

    const PortStatus stalled = control.Output(QString::fromLatin1(expected));

    QVERIFY(!stalled.ok);
    QVERIFY2(stalled.description.contains(QStringLiteral("bytes are still waiting")),
             qPrintable(stalled.description));
    QVERIFY(control.IsOpen());

    // What was left queued follows through the event loop once the device
    // takes bytes again.
    QByteArray received;
    QDeadlineTimer deadline(10000);
    while (received.size() < expected.size() && !deadline.hasExpired()) {
        received += line.pty->drainMaster(10);
        QCoreApplication::processEvents();
    }
    QCOMPARE(received.size(), expected.size());
    QCOMPARE(received, expected);
}

void TestSerialPort::missingDeviceIsNotAvailable_data()
{
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("linkTarget");
    QTest::addColumn<QStringList>("mentions");

    QTest::newRow("no link, no ttyS")
        << 250 << QString() << QStringList {"/dev/ttyS249 does not exist", "ports/com250"};
    QTest::newRow("link to a device that is gone")
        << 4 << "/dev/vmb-no-such-device"
        << QStringList {"ports/com4 points to /dev/vmb-no-such-device, which does not exist"};
    QTest::newRow("port 0") << 0 << QString() << QStringList {"start at 1"};
}

void TestSerialPort::missingDeviceIsNotAvailable()
{
    QFETCH(int, port);
    QFETCH(QString, linkTarget);
    QFETCH(QStringList, mentions);
    TempConfigHome home;
    if (!linkTarget.isEmpty())
        QVERIFY(home.linkPort(port, linkTarget));
    if (linkTarget.isEmpty() && port > 0 && QFileInfo::exists(QStringLiteral("/dev/ttyS%1").arg(port - 1)))
        QSKIP("This machine has that serial port.");
    QtSerialControl control;
    RecordingMessageBoxes boxes;

    const CommPortOutcome outcome = OpenCommPort(QStringLiteral("COM%1").arg(port), control, boxes);

    QVERIFY(!outcome.open);
    QVERIFY(!control.IsOpen());
    QCOMPARE(outcome.statusSuffix, QStringLiteral("NONE"));
    QCOMPARE(boxes.shown.size(), 1);
    const QString text = boxes.shown.first().text;
    QVERIFY2(text.startsWith(QStringLiteral("Comm Port \"COM%1\" is not available on this system\r").arg(port)),
             qPrintable(text));
    for (const QString &mention : mentions)
        QVERIFY2(text.contains(mention), qPrintable(text));
}

void TestSerialPort::portHeldByAnotherCannotBeOpened_data()
{
    QTest::addColumn<bool>("holderUsesLink");

    // Another program names the device itself; a second console names it
    // through the same port link.
    QTest::newRow("held under the device's own name") << false;
    QTest::newRow("held through the same link") << true;
}

void TestSerialPort::portHeldByAnotherCannotBeOpened()
{
    QFETCH(bool, holderUsesLink);
    LinkedPty line;
    QVERIFY(line.ready());

    QSerialPort holderPort(line.pty->slavePath());
    QtSerialControl holderConsole;
    if (holderUsesLink) {
        QVERIFY(holderConsole.SetCommPort(LinkedPort).ok);
        QVERIFY(holderConsole.Open().ok);
    } else {
        QVERIFY(holderPort.open(QIODevice::WriteOnly));
    }

    QtSerialControl control;
    RecordingMessageBoxes boxes;
    const CommPortOutcome outcome =
        OpenCommPort(QStringLiteral("COM%1").arg(LinkedPort), control, boxes);

    QVERIFY(!outcome.open);
    QCOMPARE(outcome.statusSuffix, QStringLiteral("NONE"));
    QCOMPARE(boxes.shown.size(), 1);
    const QString text = boxes.shown.first().text;
    QVERIFY2(text.startsWith(QStringLiteral("Comm Port \"COM%1\" cannot be opened\r").arg(LinkedPort)),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("another program holds it")), qPrintable(text));
    QVERIFY2(text.contains(QFileInfo(line.pty->slavePath()).canonicalFilePath()), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())),
             qPrintable(text));

    // Once the other opener lets go the port opens: it was the hold that refused.
    holderPort.close();
    holderConsole.Close();
    QVERIFY(control.Open().ok);
}

void TestSerialPort::malformedSettingsAreRefused()
{
    LinkedPty line;
    QVERIFY(line.ready());
    QtSerialControl control;
    QVERIFY(control.SetCommPort(LinkedPort).ok);

    const PortStatus status = control.SetSettings(QStringLiteral("9600,X,8,1"));

    QVERIFY(!status.ok);
    QVERIFY2(status.description.contains(QStringLiteral("\"9600,X,8,1\"")), qPrintable(status.description));
}

void TestSerialPort::writeFailsOnceTheOtherEndIsGone()
{
    LinkedPty line;
    QVERIFY(line.ready());
    QtSerialControl control;
    RecordingMessageBoxes boxes;
    QVERIFY(OpenCommPort(QStringLiteral("COM%1").arg(LinkedPort), control, boxes).open);
    QVERIFY(control.Output(QStringLiteral("first")).ok);

    // Closing the master hangs the slave up: from then on every write to it
    // fails with EIO, as with a USB adapter that was pulled out.
    line.pty.reset();
    const PortStatus gone = control.Output(QStringLiteral("second"));

    QVERIFY(!gone.ok);
    QVERIFY2(gone.description.contains(QStringLiteral("has gone away")), qPrintable(gone.description));
    QVERIFY2(!gone.description.contains(QStringLiteral("Unknown error")), qPrintable(gone.description));
    QVERIFY(!control.IsOpen());

    const PortStatus later = control.Output(QStringLiteral("third"));
    QVERIFY(!later.ok);
    QVERIFY2(later.description.contains(gone.description), qPrintable(later.description));
    control.Close();
}

void TestSerialPort::outputOnAClosedPortFails()
{
    QtSerialControl control;

    const PortStatus status = control.Output(QStringLiteral("text"));

    QVERIFY(!status.ok);
    QCOMPARE(status.description, QStringLiteral("The port is not open."));
    QVERIFY(!control.Open().ok);
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
