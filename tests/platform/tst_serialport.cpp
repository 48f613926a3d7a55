// The real serial control against a real pseudo-terminal: what the console
// writes is read back on the master side.

#include "commport.h"
#include "consoleopening.h"
#include "linkedpty.h"
#include "portlock.h"
#include "portcontrol.h"
#include "recordingmessageboxes.h"
#include "signcommand.h"
#include "throttledreader.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QFileInfo>
#include <QProcess>
#include <QSerialPort>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

constexpr int LinkedPort = 5;

// A process that lives until the test lets it go.
struct LiveProcess
{
    QProcess process;
    LiveProcess()
    {
        process.start(QStringLiteral("sleep"), {QStringLiteral("60")});
        process.waitForStarted();
    }
    ~LiveProcess()
    {
        process.kill();
        process.waitForFinished();
    }
    [[nodiscard]] qint64 pid() const { return process.processId(); }
};

// The id of a process that has ended.
qint64 DeadPid()
{
    QProcess process;
    process.start(QStringLiteral("true"), {});
    process.waitForStarted();
    const qint64 pid = process.processId();
    process.waitForFinished();
    return pid;
}

// Another program's UUCP lock file for a device, removed when the test ends.
struct ForeignLockFile
{
    QString path;
    explicit ForeignLockFile(const QString &device)
        : path(QStringLiteral("/run/lock/") + LockFileName(QFileInfo(device).canonicalFilePath()))
    {
    }
    ~ForeignLockFile() { QFile::remove(path); }
    [[nodiscard]] bool write(const QByteArray &content) const
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(content) == content.size();
    }
    [[nodiscard]] QByteArray content() const
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<gone>");
    }
};

} // namespace

class TestSerialPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void sendsTheCommandByteForByte_data();
    void sendsTheCommandByteForByte();
    void closingRightAfterOutputLosesNothing_data();
    void closingRightAfterOutputLosesNothing();
    void deviceThatTakesNothingIsGivenUpOn();
    void missingDeviceIsNotAvailable_data();
    void missingDeviceIsNotAvailable();
    void portHeldByAnotherCannotBeOpened_data();
    void portHeldByAnotherCannotBeOpened();
    void foreignHolderIsRefused_data();
    void foreignHolderIsRefused();
    void staleLockFileDoesNotBlock();
    void malformedSettingsAreRefused();
    void writeFailsOnceTheOtherEndIsGone();
    void slowLineTakesEverythingWithoutStall_data();
    void slowLineTakesEverythingWithoutStall();
    void outputOnAClosedPortFails();

private:
    // The sign's line, linked as LinkedPort afresh for each case.
    std::optional<LinkedPty> m_line;
};

void TestSerialPort::init()
{
    m_line.emplace(LinkedPort);
    QVERIFY(m_line->isReady());
}

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
    PortControl control;
    RecordingMessageBoxes boxes;

    const CommPortOutcome outcome =
        OpenCommPort(QStringLiteral("COM%1").arg(LinkedPort), control, boxes);
    QVERIFY(outcome.open);
    QCOMPARE(outcome.statusSuffix, QStringLiteral("COM%1").arg(LinkedPort));
    QVERIFY(boxes.shown.isEmpty());
    QCOMPARE(control.DevicePath(), QFileInfo(m_line->pty.slavePath()).canonicalFilePath());

    const PortStatus status = control.Output(command);
    QVERIFY2(status.ok, qPrintable(status.description));
    // Read without running the event loop: the bytes must already be there.
    QCOMPARE(m_line->pty.readMaster(bytes.size()).toHex(' '), bytes.toHex(' '));
    QCOMPARE(m_line->pty.drainMaster(), QByteArray());
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
    const QString message(length, QLatin1Char('M'));
    const QString command = BuildSignCommand(QStringLiteral("1"), 0, QStringLiteral("99"), message);
    const QByteArray expected = command.toLatin1();

    auto control = std::make_unique<PortControl>();
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

    const QByteArray received = m_line->pty.readMaster(expected.size());
    QCOMPARE(received.size(), expected.size());
    QCOMPARE(received, expected);
}

void TestSerialPort::deviceThatTakesNothingIsGivenUpOn()
{
    PortControl control;
    QStringList failures;
    control.SetFailureHandler([&failures](const QString &why) { failures.append(why); });
    QVERIFY(control.SetCommPort(LinkedPort).ok);
    QVERIFY(control.Open().ok);
    // Far more than a pty holds while its master is not read.
    const QByteArray expected(100000, 'x');

    // Nothing is waited for: the stuck device is told of later, once.
    QVERIFY(control.Output(QString::fromLatin1(expected)).ok);
    QVERIFY(failures.isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(failures.size(), 1, 10000);
    QTest::qWait(3000);
    QCOMPARE(failures.size(), 1);
    QVERIFY2(failures.first().contains(QStringLiteral("bytes are still waiting")), qPrintable(failures.first()));
    QVERIFY(control.IsOpen());

    // What was left queued follows through the event loop once the device
    // takes bytes again.
    QByteArray received;
    QDeadlineTimer deadline(10000);
    while (received.size() < expected.size() && !deadline.hasExpired()) {
        received += m_line->pty.drainMaster(10);
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
    PortControl control;
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

    QSerialPort holderPort(m_line->pty.slavePath());
    PortControl holderConsole;
    if (holderUsesLink) {
        QVERIFY(holderConsole.SetCommPort(LinkedPort).ok);
        QVERIFY(holderConsole.Open().ok);
    } else {
        QVERIFY(holderPort.open(QIODevice::WriteOnly));
    }

    PortControl control;
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
    QVERIFY2(text.contains(QFileInfo(m_line->pty.slavePath()).canonicalFilePath()), qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("process %1").arg(QCoreApplication::applicationPid())),
             qPrintable(text));

    // Once the other opener lets go the port opens: it was the hold that refused.
    holderPort.close();
    holderConsole.Close();
    QVERIFY(control.Open().ok);
}

void TestSerialPort::foreignHolderIsRefused_data()
{
    QTest::addColumn<QByteArray>("lockFormat");  // %1: the holder's pid; empty: no lock file
    QTest::addColumn<bool>("flockHeld");

    QTest::newRow("UUCP lock file, padded pid") << QByteArray("%1\n") << false;
    QTest::newRow("lock file naming another program") << QByteArray("%1\nminicom\nhost\n") << false;
    QTest::newRow("flock only") << QByteArray() << true;
    QTest::newRow("flock and lock file") << QByteArray("%1 sleep\n") << true;
}

void TestSerialPort::foreignHolderIsRefused()
{
    QFETCH(QByteArray, lockFormat);
    QFETCH(bool, flockHeld);
    const LiveProcess holder;
    const ForeignLockFile lock(m_line->pty.slavePath());
    const QByteArray lockContent = QString::fromLatin1(lockFormat)
                                       .replace(QStringLiteral("%1"), QStringLiteral("%1").arg(holder.pid(), 10))
                                       .toLatin1();
    if (!lockContent.isEmpty() && !lock.write(lockContent))
        QSKIP("No lock folder to write to.");
    const int held = ::open(QFile::encodeName(m_line->pty.slavePath()).constData(), O_WRONLY | O_NOCTTY);
    QVERIFY(held >= 0);
    QVERIFY(!flockHeld || ::flock(held, LOCK_EX | LOCK_NB) == 0);

    PortControl control;
    const QString text = OpenAsConsole(control, LinkedPort);

    QVERIFY2(text.startsWith(QStringLiteral("Comm Port \"COM%1\" cannot be opened\r").arg(LinkedPort)),
             qPrintable(text));
    QVERIFY2(text.contains(QStringLiteral("another program holds it")), qPrintable(text));
    if (!lockContent.isEmpty()) {
        QVERIFY2(text.contains(QStringLiteral("(process %1, sleep)").arg(holder.pid())), qPrintable(text));
        QCOMPARE(lock.content(), lockContent);
    }
    QVERIFY(!control.IsOpen());

    // Free once the holder lets go.
    ::close(held);
    QFile::remove(lock.path);
    QVERIFY(control.Open().ok);
}

void TestSerialPort::staleLockFileDoesNotBlock()
{
    const ForeignLockFile lock(m_line->pty.slavePath());
    if (!lock.write(QStringLiteral("%1\n").arg(DeadPid(), 10).toLatin1()))
        QSKIP("No lock folder to write to.");
    PortControl control;

    QCOMPARE(OpenAsConsole(control, LinkedPort), QString());
    QVERIFY(control.Output(QStringLiteral("after a stale lock")).ok);
    QCOMPARE(m_line->pty.readMaster(18), QByteArray("after a stale lock"));
}

void TestSerialPort::malformedSettingsAreRefused()
{
    PortControl control;
    QVERIFY(control.SetCommPort(LinkedPort).ok);

    const PortStatus status = control.SetSettings(QStringLiteral("9600,X,8,1"));

    QVERIFY(!status.ok);
    QVERIFY2(status.description.contains(QStringLiteral("\"9600,X,8,1\"")), qPrintable(status.description));
}

void TestSerialPort::writeFailsOnceTheOtherEndIsGone()
{
    PortControl control;
    RecordingMessageBoxes boxes;
    QVERIFY(OpenCommPort(QStringLiteral("COM%1").arg(LinkedPort), control, boxes).open);
    QVERIFY(control.Output(QStringLiteral("first")).ok);

    // Closing the master hangs the slave up: from then on every write to it
    // fails with EIO, as with a USB adapter that was pulled out.
    m_line->pty.hangUp();
    const PortStatus gone = control.Output(QStringLiteral("second"));

    QVERIFY(!gone.ok);
    QVERIFY2(gone.description.contains(QStringLiteral("has gone away")), qPrintable(gone.description));
    QVERIFY2(!gone.description.contains(QStringLiteral("Unknown error")), qPrintable(gone.description));
    QVERIFY(!control.IsOpen());

    // The next write chooses the port again; while its link leads nowhere
    // it says so and stays closed.
    QVERIFY(m_line->config.linkPort(LinkedPort, m_line->config.path() + QStringLiteral("/unplugged")));
    const PortStatus missing = control.Output(QStringLiteral("third"));
    QVERIFY(!missing.ok);
    QVERIFY2(missing.description.contains(QStringLiteral("cannot be opened again")), qPrintable(missing.description));
    QVERIFY2(missing.description.contains(QStringLiteral("does not exist")), qPrintable(missing.description));
    QVERIFY(!control.IsOpen());

    // Replugged: a new device behind the same link takes the next write.
    PtyPair replugged;
    QVERIFY(m_line->config.linkPort(LinkedPort, replugged.slavePath()));
    const PortStatus back = control.Output(QStringLiteral("fourth"));
    QVERIFY2(back.ok, qPrintable(back.description));
    QVERIFY(control.IsOpen());
    QCOMPARE(replugged.readMaster(6), QByteArray("fourth"));
    control.Close();
}

void TestSerialPort::slowLineTakesEverythingWithoutStall_data()
{
    QTest::addColumn<bool>("closeAtOnce");

    QTest::newRow("event loop runs meanwhile") << false;
    QTest::newRow("closed right after the write") << true;
}

void TestSerialPort::slowLineTakesEverythingWithoutStall()
{
    QFETCH(bool, closeAtOnce);
    PortControl control;
    QStringList failures;
    control.SetFailureHandler([&failures](const QString &why) { failures.append(why); });
    QCOMPARE(OpenAsConsole(control, LinkedPort), QString());
    // Half as much again as the pty holds (about 20 KiB), taken at 12,000
    // bytes a second: most of it is still queued when Output returns, and
    // a close must wait for it.
    const QString message(30000, QLatin1Char('S'));
    const QByteArray expected =
        BuildSignCommand(QStringLiteral("1"), 3, QStringLiteral("50"), message).toLatin1();
    ThrottledReader sign(m_line->pty, 240, 20);
    // Counts the window's events while the line is early in the message,
    // far from done.
    int ticksEarly = 0;
    QTimer ticker;
    ticker.callOnTimeout(&ticker, [&] { ticksEarly += sign.received().size() < 4000 ? 1 : 0; });
    ticker.start(20);

    QVERIFY(control.Output(QString::fromLatin1(expected)).ok);
    if (closeAtOnce)
        control.Close();
    QTRY_VERIFY_WITH_TIMEOUT(sign.received().size() >= expected.size(), 10000);

    QCOMPARE(sign.received(), expected);
    QCOMPARE(failures, QStringList());
    if (!closeAtOnce)
        QVERIFY2(ticksEarly >= 5, qPrintable(QString::number(ticksEarly)));
}

void TestSerialPort::outputOnAClosedPortFails()
{
    PortControl control;

    const PortStatus status = control.Output(QStringLiteral("text"));

    QVERIFY(!status.ok);
    QCOMPARE(status.description, QStringLiteral("The port is not open."));
    QVERIFY(!control.Open().ok);
}

QTEST_GUILESS_MAIN(TestSerialPort)
#include "tst_serialport.moc"
