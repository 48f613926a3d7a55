#include "networkfailure.h"
#include "portchoices.h"
#include "portfailure.h"
#include "porttrouble.h"

#include <QTest>

// The chooser's entries from a listing, what a typed server address becomes,
// and how the status label words a failure noticed between Sends.
class TestPortChoices : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entries_data();
    void entries();
    void firstFree_data();
    void firstFree();
    void serverAddress_data();
    void serverAddress();
    void trouble_data();
    void trouble();
};

namespace {

constexpr qint64 ConsolePid = 12;

ListedLink Linked(int port, const QString &target, const QString &resolved,
                  const std::optional<PortHolder> &holder = {})
{
    return {{port, QStringLiteral("/cfg/ports/com%1").arg(port), target, resolved}, holder};
}

} // namespace

void TestPortChoices::entries_data()
{
    QTest::addColumn<PortListing>("listing");
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("detail");
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("inUse");
    QTest::addColumn<bool>("current");

    const SerialDevice adapter{"/dev/ttyUSB0", "FT232R", "FTDI", "A1", 0x0403, 0x6001};
    QTest::newRow("device by its stable name, in use")
        << PortListing{{{adapter, {"/dev/serial/by-id/usb-FTDI-A1"}, PortHolder{77, "minicom"}, {3}}}, {}}
        << "/dev/ttyUSB0 - FT232R (FTDI)"
        << "COM3; in use by process 77, minicom; /dev/serial/by-id/usb-FTDI-A1"
        << "/dev/serial/by-id/usb-FTDI-A1" << true << false;
    QTest::newRow("device this console holds")
        << PortListing{{{adapter, {}, PortHolder{ConsolePid, "VantorMsgBoard"}, {3}}}, {}}
        << "/dev/ttyUSB0 - FT232R (FTDI)" << "COM3; in use by this console" << "/dev/ttyUSB0" << false << true;
    QTest::newRow("held by a process whose number starts like the console's")
        << PortListing{{{adapter, {}, PortHolder{ConsolePid * 10, {}}, {3}}}, {}}
        << "/dev/ttyUSB0 - FT232R (FTDI)" << QStringLiteral("COM3; in use by process %1").arg(ConsolePid * 10)
        << "/dev/ttyUSB0" << true << false;
    QTest::newRow("built-in device without a stable name")
        << PortListing{{{SerialDevice{"/dev/ttyS0", {}, {}, {}, {}, {}}, {}, {}, {}}}, {}}
        << "/dev/ttyS0" << "no COM number yet; free" << "/dev/ttyS0" << false << false;
    QTest::newRow("serial server, tidied")
        << PortListing{{}, {Linked(5, "TCP://10.0.0.5:04001", {})}}
        << "Serial server tcp://10.0.0.5:4001" << "COM5; connects at the first Send" << "tcp://10.0.0.5:4001"
        << false << false;
    QTest::newRow("virtual sign, through its own entry")
        << PortListing{{}, {Linked(2, "/proc/4242/fd/7", "/dev/pts/3", PortHolder{99, "VantorMsgBoard"})}}
        << "Virtual sign (process 4242) on /dev/pts/3" << "COM2; in use by process 99, VantorMsgBoard"
        << "/cfg/ports/com2" << true << false;
    QTest::newRow("other linked device")
        << PortListing{{}, {Linked(4, "/dev/pts/5", "/dev/pts/5")}}
        << "/dev/pts/5" << "COM4; free" << "/dev/pts/5" << false << false;
}

void TestPortChoices::entries()
{
    QFETCH(PortListing, listing);
    QFETCH(QString, title);
    QFETCH(QString, detail);
    QFETCH(QString, target);
    QFETCH(bool, inUse);
    QFETCH(bool, current);

    // A link that leads nowhere is never offered, wherever it stands.
    listing.otherLinks.prepend(Linked(9, "/dev/gone", {}));
    const QList<PortChoice> choices = PortChoices(listing, ConsolePid);
    QCOMPARE(choices.size(), 1);
    QCOMPARE(choices.first().title, title);
    QCOMPARE(choices.first().detail, detail);
    QCOMPARE(choices.first().target, target);
    QCOMPARE(choices.first().inUse, inUse);
    QCOMPARE(choices.first().current, current);
}

void TestPortChoices::firstFree_data()
{
    QTest::addColumn<QList<bool>>("held"); // held by another program or this console
    QTest::addColumn<qsizetype>("first");
    QTest::newRow("first free after held ones") << QList<bool>{true, true, false, false} << qsizetype(2);
    QTest::newRow("all held") << QList<bool>{true, true} << qsizetype(0);
}

void TestPortChoices::firstFree()
{
    QFETCH(QList<bool>, held);
    QFETCH(qsizetype, first);
    QList<PortChoice> choices;
    for (qsizetype i = 0; i < held.size(); ++i) {
        PortChoice choice;
        // Alternately another program's and this console's.
        (i % 2 ? choice.current : choice.inUse) = held.at(i);
        choices.append(choice);
    }
    QCOMPARE(FirstFreeChoice(choices), first);
}

void TestPortChoices::serverAddress_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("stored"); // empty: refused

    QTest::newRow("raw TCP, spaces around") << " tcp://sign.local:4001 " << "tcp://sign.local:4001";
    QTest::newRow("RFC 2217 in capitals") << "RFC2217://[::1]:2001" << "rfc2217://[::1]:2001";
    QTest::newRow("no port") << "tcp://sign.local" << "";
    QTest::newRow("a device path") << "/dev/ttyUSB0" << "";
}

void TestPortChoices::serverAddress()
{
    QFETCH(QString, typed);
    QFETCH(QString, stored);
    QCOMPARE(ServerAddressChoice(typed).value_or(QString()), stored);
}

void TestPortChoices::trouble_data()
{
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("status");

    // The descriptions the port itself gives, so that a change of wording there shows here.
    QTest::newRow("device unplugged")
        << DescribeWriteFailure(QSerialPort::ResourceError, "Input/output error", "/dev/ttyUSB0")
        << QStringLiteral("\u26A0 COM7 was unplugged. The next Send tries again.");
    QTest::newRow("server closed the connection")
        << DescribeLostConnection({NetworkPort::Protocol::RawTcp, "127.0.0.1", 4001}, "The remote host closed")
        << QStringLiteral("\u26A0 COM7 lost its server, which closed the connection. The next Send tries again.");
    QTest::newRow("server ended the connection during set-up")
        << DescribeEndDuringSetUp({NetworkPort::Protocol::RawTcp, "127.0.0.1", 4001}, "Device open failure")
        << QStringLiteral("\u26A0 COM7 lost its server, which closed the connection. The next Send tries again.");
    QTest::newRow("device stalled")
        << "/dev/ttyUSB0 has taken nothing for 5 seconds; 12 bytes are still waiting to be sent."
        << QStringLiteral("\u26A0 COM7 stopped taking the message. The next Send tries again.");
    QTest::newRow("anything else")
        << DescribeWriteFailure(QSerialPort::WriteError, "No space left", "/dev/ttyUSB0")
        << QStringLiteral("\u26A0 COM7 failed. The next Send tries again.");
}

void TestPortChoices::trouble()
{
    QFETCH(QString, description);
    QFETCH(QString, status);
    QCOMPARE(PortTroubleStatus(7, ClassifyPortTrouble(description)), status);
}

QTEST_GUILESS_MAIN(TestPortChoices)
#include "tst_portchoices.moc"
