#include "pseudoterminal.h"

#include <QSerialPort>
#include <QSignalSpy>
#include <QTest>

#include <fcntl.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace {

// Whether the device can be opened and is not held for one program alone.
bool IsShared(const QByteArray &device)
{
    const int fd = ::open(device.constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return false;
    int exclusive = -1;
    const bool known = ::ioctl(fd, TIOCGEXCL, &exclusive) == 0;
    ::close(fd);
    return known && exclusive == 0;
}

} // namespace

class TestPseudoTerminal : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void passesEveryByteUnchanged();
    void keepsWorkingAcrossConsoles();
    void sharesLineAgainAfterKilledConsole();

private:
    // Waits until `count` bytes have arrived, or two seconds have passed.
    QByteArray receive(qsizetype count);

    std::unique_ptr<PseudoTerminal> m_terminal;
    QByteArray m_received;
};

void TestPseudoTerminal::init()
{
    QString error;
    m_terminal = PseudoTerminal::open(&error);
    QVERIFY2(m_terminal, qPrintable(error));
    QVERIFY(m_terminal->devicePath().startsWith(QStringLiteral("/dev/")));
    m_received.clear();
    connect(m_terminal.get(), &PseudoTerminal::received, this,
            [this](const QByteArray &bytes) { m_received.append(bytes); });
}

void TestPseudoTerminal::cleanup()
{
    m_terminal.reset();
}

QByteArray TestPseudoTerminal::receive(qsizetype count)
{
    // Missing bytes show in the caller's comparison.
    (void)QTest::qWaitFor([&] { return m_received.size() >= count; }, 2000);
    return std::exchange(m_received, QByteArray());
}

void TestPseudoTerminal::passesEveryByteUnchanged()
{
    QByteArray all;
    for (int value = 0; value < 256; ++value)
        all.append(static_cast<char>(value));
    all.append("\r\n\r7D");

    const int fd = ::open(QFile::encodeName(m_terminal->devicePath()).constData(), O_WRONLY | O_NOCTTY);
    QVERIFY(fd >= 0);
    QCOMPARE(::write(fd, all.constData(), all.size()), static_cast<ssize_t>(all.size()));
    ::close(fd);
    QCOMPARE(receive(all.size()), all);
}

void TestPseudoTerminal::keepsWorkingAcrossConsoles()
{
    // Each round plays one console run: open the port the way the console
    // does, send, and close it again.
    for (const QByteArray &sent : {QByteArray("\r7C2\r7B75\r7AHELLO\r7D"), QByteArray("\r8AAGAIN\r8D"),
                                  QByteArray("\r9D")}) {
        QSerialPort port;
        port.setPortName(m_terminal->devicePath());
        QVERIFY2(port.open(QIODevice::WriteOnly), qPrintable(port.errorString()));
        QVERIFY(port.setBaudRate(9600));
        QCOMPARE(port.write(sent), sent.size());
        QVERIFY(port.waitForBytesWritten(2000));
        QCOMPARE(receive(sent.size()), sent);
        port.close();
    }
}

void TestPseudoTerminal::sharesLineAgainAfterKilledConsole()
{
    // A console killed while it held the line for itself never says TIOCNXCL.
    const QByteArray device = QFile::encodeName(m_terminal->devicePath());
    const int killed = ::open(device.constData(), O_WRONLY | O_NOCTTY);
    QVERIFY(killed >= 0);
    QCOMPARE(::ioctl(killed, TIOCEXCL), 0);
    ::close(killed);

    QTRY_VERIFY_WITH_TIMEOUT(IsShared(device), 2000);

    // And the next console gets its port.
    QSerialPort port;
    port.setPortName(m_terminal->devicePath());
    QVERIFY2(port.open(QIODevice::WriteOnly), qPrintable(port.errorString()));
    QCOMPARE(port.write("\r1D"), 3);
    QVERIFY(port.waitForBytesWritten(2000));
    QCOMPARE(receive(3), QByteArray("\r1D"));
}

QTEST_GUILESS_MAIN(TestPseudoTerminal)
#include "tst_pseudoterminal.moc"
