// Ports behind a real serial server: the console's control against ser2net,
// which serves a pseudo-terminal; what the console sends is read back on the
// pseudo-terminal's master side, and its line settings are looked at there.

#include "consoleopening.h"
#include "hostileserver.h"
#include "networkportkind.h"
#include "ptypair.h"
#include "portcontrol.h"
#include "ser2netserver.h"
#include "signcommand.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QThread>
#include <QTest>

#include <memory>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

constexpr int LinkedPort = 5;
using Protocol = Ser2NetServer::Protocol;

// A pseudo-terminal served by ser2net, linked as port LinkedPort and held
// open by `control` as the console opens it; failures told later, while
// the console idles, are kept in `reported`.
struct ServedPty
{
    explicit ServedPty(Protocol protocol)
        : server(std::make_unique<Ser2NetServer>(protocol, pty.slavePath()))
    {
    }
    // Empty when the server runs and the port is open on it; else what stood in the way.
    [[nodiscard]] QString start()
    {
        if (!pty.isValid())
            return QStringLiteral("no pseudo-terminal");
        if (!server->Start())
            return server->Problem();
        if (!home.linkPortToText(LinkedPort, server->Address()))
            return QStringLiteral("cannot link the port");
        control->SetFailureHandler([this](const QString &why) { reported << why; });
        return OpenAsConsole(*control, LinkedPort);
    }

    TempConfigHome home;
    PtyPair pty;
    std::unique_ptr<Ser2NetServer> server;
    QStringList reported;
    std::unique_ptr<PortControl> control = std::make_unique<PortControl>();
};

// The pseudo-terminal's line as "baud data-bits parity stop-bits".
QString LineOf(const QString &slavePath)
{
    const int fd = ::open(QFile::encodeName(slavePath).constData(), O_RDONLY | O_NOCTTY | O_NONBLOCK);
    termios line {};
    const bool read = fd >= 0 && ::tcgetattr(fd, &line) == 0;
    if (fd >= 0)
        ::close(fd);
    if (!read)
        return QStringLiteral("<unreadable>");
    const speed_t speed = cfgetospeed(&line);
    const QString baud = speed == B9600 ? QStringLiteral("9600")
        : speed == B19200              ? QStringLiteral("19200")
                                       : QStringLiteral("other");
    const tcflag_t size = line.c_cflag & CSIZE;
    const QString bits = size == CS8 ? QStringLiteral("8") : size == CS7 ? QStringLiteral("7") : QStringLiteral("?");
    const QString parity = !(line.c_cflag & PARENB) ? QStringLiteral("N")
        : (line.c_cflag & PARODD)                   ? QStringLiteral("O")
                                                    : QStringLiteral("E");
    const QString stop = (line.c_cflag & CSTOPB) ? QStringLiteral("2") : QStringLiteral("1");
    return baud + u' ' + bits + parity + stop;
}


void AddProtocolRows()
{
    QTest::addColumn<Protocol>("protocol");
    QTest::newRow("raw TCP") << Protocol::RawTcp;
    QTest::newRow("RFC 2217") << Protocol::Rfc2217;
}

} // namespace

class TestNetworkSerial : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void deliversTheCommandByteForByte_data();
    void deliversTheCommandByteForByte();
    void closingRightAfterOutputLosesNothing_data();
    void closingRightAfterOutputLosesNothing();
    void unreachableEntryIsReported_data();
    void unreachableEntryIsReported();
    void serverBusyWithAnotherClientCannotBeOpened_data();
    void serverBusyWithAnotherClientCannotBeOpened();
    void serverRestartedBetweenSends_data();
    void serverRestartedBetweenSends();
    void hostileServerNeverHoldsTheConsole_data();
    void hostileServerNeverHoldsTheConsole();
    void closeFailsWhereTheServerEndedFirst_data();
    void closeFailsWhereTheServerEndedFirst();
};

void TestNetworkSerial::init()
{
    const QByteArray function(QTest::currentTestFunction());
    if (function.startsWith("hostile") || function.startsWith("unreachable"))
        return;
    if (!Ser2NetServer::Available())
        QSKIP("ser2net is not installed (Debian package ser2net)");
}

void TestNetworkSerial::deliversTheCommandByteForByte_data()
{
    QTest::addColumn<Protocol>("protocol");
    QTest::addColumn<QString>("command");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("line");

    const QString example1 = BuildSignCommand(QStringLiteral("7"), 2, QStringLiteral("75"), QStringLiteral("HELLO"));
    const QByteArray bytes1 = QByteArray::fromHex("0D3743320D374237350D374148454C4C4F0D3744");
    const QString example2 =
        BuildSignCommand(QStringLiteral("07"), 5, QStringLiteral("5"), QStringLiteral(" OPEN NOW "));
    const QByteArray bytes2 = QByteArray::fromHex("0D303743350D30374230350D3037414F50454E204E4F570D303744");
    // Byte 255 is Telnet's escape: sent twice on the wire, it must arrive once.
    const QString yDiaeresis = BuildSignCommand(QStringLiteral("1"), 0, QStringLiteral("99"),
                                                QStringLiteral("a\u00FF\u00FFb\u00FF"));
    const QByteArray yBytes = QByteArray::fromHex("0D3143300D314239390D314161FFFF62FF0D3144");

    // A raw server keeps the line it was set up with; RFC 2217 sets 9600 8N1.
    // A pseudo-terminal keeps 8 bits without parity whatever it is asked, so
    // the server's 19200 7E2 shows as 19200 8N2.
    const QString serverLine = QStringLiteral("19200 8N2");
    const QString signLine = QStringLiteral("9600 8N1");
    QTest::newRow("raw, worked example 1") << Protocol::RawTcp << example1 << bytes1 << serverLine;
    QTest::newRow("raw, worked example 2") << Protocol::RawTcp << example2 << bytes2 << serverLine;
    QTest::newRow("raw, byte 255") << Protocol::RawTcp << yDiaeresis << yBytes << serverLine;
    QTest::newRow("RFC 2217, worked example 1") << Protocol::Rfc2217 << example1 << bytes1 << signLine;
    QTest::newRow("RFC 2217, worked example 2") << Protocol::Rfc2217 << example2 << bytes2 << signLine;
    QTest::newRow("RFC 2217, byte 255") << Protocol::Rfc2217 << yDiaeresis << yBytes << signLine;
}

void TestNetworkSerial::deliversTheCommandByteForByte()
{
    QFETCH(Protocol, protocol);
    QFETCH(QString, command);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, line);
    ServedPty served(protocol);
    const QString problem = served.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    QVERIFY(served.control->IsOpen());
    const PortStatus status = served.control->Output(command);
    QVERIFY2(status.ok, qPrintable(status.description));
    QCOMPARE(served.pty.readMaster(bytes.size()).toHex(' '), bytes.toHex(' '));
    QCOMPARE(served.pty.drainMaster(), QByteArray());
    QCOMPARE(LineOf(served.pty.slavePath()), line);
}

void TestNetworkSerial::closingRightAfterOutputLosesNothing_data()
{
    AddProtocolRows();
}

void TestNetworkSerial::closingRightAfterOutputLosesNothing()
{
    QFETCH(Protocol, protocol);
    ServedPty served(protocol);
    const QString problem = served.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    // More than the socket takes in one go, less than the pty holds unread.
    const QString command = BuildSignCommand(QStringLiteral("1"), 0, QStringLiteral("99"),
                                             QString(3000, QLatin1Char('M')));

    QVERIFY(served.control->Output(command).ok);
    served.control.reset();

    const QByteArray expected = command.toLatin1();
    const QByteArray received = served.pty.readMaster(expected.size(), 5000);
    QCOMPARE(received.size(), expected.size());
    QVERIFY(received == expected);
}

void TestNetworkSerial::unreachableEntryIsReported_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QStringList>("mentions"); // the heading first

    const QString refused = QStringLiteral("Comm Port \"COM5\" cannot be opened\r");
    const QString port = QString::number(ClosedLocalPort());
    for (const char *scheme : {"tcp", "rfc2217"}) {
        QTest::addRow("%s, connection refused", scheme)
            << QStringLiteral("%1://127.0.0.1:%2").arg(QLatin1String(scheme), port)
            << QStringList{refused, QStringLiteral("127.0.0.1 port ") + port, QStringLiteral("refused")};
    }
    QTest::newRow("malformed entry")
        << QStringLiteral("tcp://127.0.0.1:0")
        << QStringList{QStringLiteral("Comm Port \"COM5\" is not available on this system\r"),
                       QStringLiteral("tcp://127.0.0.1:0")};
}

void TestNetworkSerial::unreachableEntryIsReported()
{
    QFETCH(QString, entry);
    QFETCH(QStringList, mentions);
    TempConfigHome home;
    QVERIFY(home.linkPortToText(LinkedPort, entry));

    PortControl control;
    const QString text = OpenAsConsole(control, LinkedPort);
    QVERIFY2(text.startsWith(mentions.first()), qPrintable(text));
    for (const QString &mention : mentions)
        QVERIFY2(text.contains(mention), qPrintable(text));
    QVERIFY(!control.IsOpen());
}

void TestNetworkSerial::serverBusyWithAnotherClientCannotBeOpened_data()
{
    AddProtocolRows();
}

void TestNetworkSerial::serverBusyWithAnotherClientCannotBeOpened()
{
    QFETCH(Protocol, protocol);
    ServedPty served(protocol);
    const QString problem = served.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    PortControl second;
    QStringList reported;
    second.SetFailureHandler([&reported](const QString &why) { reported << why; });
    QString text = OpenAsConsole(second, LinkedPort);
    if (protocol == Protocol::RawTcp) {
        // A raw server's close is not waited for at open: it shows while
        // the console idles.
        QCOMPARE(text, QString());
        QTRY_COMPARE(reported.size(), 1);
        text = reported.first();
    } else {
        QVERIFY2(text.startsWith(QStringLiteral("Comm Port \"COM5\" cannot be opened\r")), qPrintable(text));
    }
    QVERIFY2(text.contains(QStringLiteral("busy with another client")), qPrintable(text));
    QVERIFY(!second.IsOpen());
    // The first client keeps its line.
    QVERIFY(served.control->Output(QStringLiteral("\rstill mine")).ok);
    QCOMPARE(served.pty.readMaster(11), QByteArray("\rstill mine"));
}

void TestNetworkSerial::serverRestartedBetweenSends_data()
{
    QTest::addColumn<Protocol>("protocol");
    QTest::addColumn<bool>("idleBetween");
    // Idle: the console's event loop runs while the server is down. Not
    // idle: two Sends in a row, as from a script, around a quick restart.
    QTest::newRow("raw TCP, idle") << Protocol::RawTcp << true;
    QTest::newRow("RFC 2217, idle") << Protocol::Rfc2217 << true;
    QTest::newRow("raw TCP, unseen") << Protocol::RawTcp << false;
    QTest::newRow("RFC 2217, unseen") << Protocol::Rfc2217 << false;
}

void TestNetworkSerial::serverRestartedBetweenSends()
{
    QFETCH(Protocol, protocol);
    QFETCH(bool, idleBetween);
    ServedPty served(protocol);
    const QString problem = served.start();
    QVERIFY2(problem.isEmpty(), qPrintable(problem));

    PortControl &control = *served.control;
    const QStringList &reported = served.reported;
    QVERIFY(control.Output(QStringLiteral("\rone")).ok);
    QCOMPARE(served.pty.readMaster(4), QByteArray("\rone"));

    served.server->Stop();
    if (idleBetween) {
        // The loss is reported while the console idles, once (so soon after
        // the connect, it may read as a close during set-up).
        QTRY_COMPARE(reported.size(), 1);
        QVERIFY2(reported.first().contains(QStringLiteral("closed")), qPrintable(reported.first()));
        QVERIFY(!control.IsOpen());
        // A Send while the server is down reports it.
        const PortStatus whileDown = control.Output(QStringLiteral("\rlost"));
        QVERIFY(!whileDown.ok);
        QVERIFY2(whileDown.description.contains(QStringLiteral("refused")), qPrintable(whileDown.description));
    }

    // The next Send after the server is back connects again and arrives.
    QVERIFY2(served.server->Start(), qPrintable(served.server->Problem()));
    const PortStatus again = control.Output(QStringLiteral("\rtwo"));
    QVERIFY2(again.ok, qPrintable(again.description));
    QCOMPARE(served.pty.readMaster(4), QByteArray("\rtwo"));
    QCOMPARE(served.pty.drainMaster(), QByteArray());
    QCOMPARE(reported.size(), idleBetween ? 1 : 0);
}

void TestNetworkSerial::hostileServerNeverHoldsTheConsole_data()
{
    using Mode = HostileServer::Mode;
    using Behaviour = HostileServer::Behaviour;
    QTest::addColumn<Mode>("mode");
    QTest::addColumn<Behaviour>("behaviour");
    // What the open or, for a raw server it need not wait for, the console
    // idling after it reports; empty where the port serves.
    QTest::addColumn<QString>("failure");

    const QString timedOut = QStringLiteral("did not answer in time");
    const QString reset = QStringLiteral("closed or reset the connection while it was being set up");
    QTest::newRow("raw, flood during connect") << Mode::Raw << Behaviour::FloodDuringConnect << QString();
    QTest::newRow("Telnet, flood during connect") << Mode::Telnet << Behaviour::FloodDuringConnect << timedOut;
    QTest::newRow("Telnet, endless subnegotiation") << Mode::Telnet << Behaviour::EndlessSubnegotiation << timedOut;
    QTest::newRow("Telnet, flood after set-up") << Mode::Telnet << Behaviour::FloodAfterSetUp << QString();
    QTest::newRow("Telnet, option flood") << Mode::Telnet << Behaviour::OptionFlood << QString();
    QTest::newRow("raw, reset during set-up") << Mode::Raw << Behaviour::ResetDuringSetUp << reset;
    QTest::newRow("Telnet, reset during set-up") << Mode::Telnet << Behaviour::ResetDuringSetUp << reset;
}

void TestNetworkSerial::hostileServerNeverHoldsTheConsole()
{
    QFETCH(HostileServer::Mode, mode);
    QFETCH(HostileServer::Behaviour, behaviour);
    QFETCH(QString, failure);
    TempConfigHome home;
    HostileServer server(mode, behaviour);
    QVERIFY(server.IsListening());
    QVERIFY(home.linkPortToText(LinkedPort, server.Address()));

    PortControl control;
    QStringList reported;
    control.SetFailureHandler([&reported](const QString &why) { reported << why; });
    QElapsedTimer clock;
    clock.start();
    QString text = OpenAsConsole(control, LinkedPort);
    // The connect bound, whatever the server sends; the flood lasts longer.
    QVERIFY2(clock.elapsed() < 4500, qPrintable(QString::number(clock.elapsed())));
    if (text.isEmpty() && !failure.isEmpty()) {
        QTRY_COMPARE(reported.size(), 1);
        text = reported.first();
    }
    if (!failure.isEmpty()) {
        QVERIFY2(text.contains(failure), qPrintable(text));
        QVERIFY2(!text.contains(QStringLiteral("FFF")) && !text.contains(QStringLiteral("SSS")), qPrintable(text));
        return;
    }
    QCOMPARE(text, QString());

    // A Send reaches the server while it talks on, with no event loop to
    // finish the write, as from the command line: the answers the port owes
    // the server must not hold it back.
    QVERIFY(control.Output(QStringLiteral("\rping")).ok);
    const QDeadlineTimer arrival(3000);
    while (!server.Received().contains("\rping") && !arrival.hasExpired())
        QThread::msleep(5);
    QVERIFY(server.Received().contains("\rping"));
    // Closed right after a Send, while the server talks on: the close ends
    // once the server has read everything, and throws none of it away.
    const QByteArray last = QByteArray(256 * 1024, 'L') + "\rlast";
    QVERIFY(control.Output(QString::fromLatin1(last)).ok);
    control.Close();
    // Answers to late option requests may follow it.
    QVERIFY(server.Received().contains(last));
    // Each option is refused once, however often it is asked for.
    const QByteArray wont("\xff\xfc");
    QVERIFY2(server.Received().count(wont) < 256, qPrintable(QString::number(server.Received().count(wont))));
    QCOMPARE(reported, QStringList());
}

void TestNetworkSerial::closeFailsWhereTheServerEndedFirst_data()
{
    AddHostileModeRows();
}

void TestNetworkSerial::closeFailsWhereTheServerEndedFirst()
{
    QFETCH(HostileServer::Mode, mode);
    HostileServer server(mode, HostileServer::Behaviour::EndAfterData);
    QVERIFY(server.IsListening());
    const std::unique_ptr<PortKind> kind = MakeNetworkPortKind(*ParseNetworkPort(server.Address()));
    QVERIFY(kind->SetSettings(QStringLiteral("9600,N,8,1")).ok);
    QVERIFY(kind->Open().ok);
    kind->Device().write(kind->Framed("\rHELLO"));
    kind->Flush();
    // Waited for without an event loop, so that only the close can see it.
    const QDeadlineTimer ended(5000);
    while (!server.HasClosed() && !ended.hasExpired())
        QThread::msleep(1);

    const PortStatus closed = kind->Close();
    QVERIFY(!closed.ok);
    QVERIFY2(closed.description.contains(QStringLiteral("Device open failure")), qPrintable(closed.description));
}

QTEST_GUILESS_MAIN(TestNetworkSerial)
#include "tst_networkserial.moc"
