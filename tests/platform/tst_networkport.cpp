// Network port entries: the address text, the Telnet pieces of RFC 2217 and
// the descriptions of connection failures.

#include "networkfailure.h"
#include "networkport.h"
#include "portnaming.h"
#include "ptypair.h"
#include "telnetcomport.h"

#include <QTest>

namespace {

using Protocol = NetworkPort::Protocol;

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (const int value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

} // namespace

class TestNetworkPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesAddresses_data();
    void parsesAddresses();
    void refusesMalformedAddresses_data();
    void refusesMalformedAddresses();
    void readsTheLinkTextUnresolved();
    void escapesByte255_data();
    void escapesByte255();
    void openingAsksForTheLine();
    void readerAnswersAndKeepsData_data();
    void readerAnswersAndKeepsData();
    void readerFollowsTheServerAcrossPieces();
    void describesConnectFailures_data();
    void describesConnectFailures();
    void describesBusyServer();
};

void TestNetworkPort::parsesAddresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("protocol");
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port");

    QTest::addColumn<QString>("written"); // the text the address is saved as

    QTest::newRow("raw IPv4") << "tcp://10.0.0.5:4001" << int(Protocol::RawTcp) << "10.0.0.5" << 4001
                              << "tcp://10.0.0.5:4001";
    QTest::newRow("RFC 2217 name") << "rfc2217://sign-server.local:2001" << int(Protocol::Rfc2217)
                                   << "sign-server.local" << 2001 << "rfc2217://sign-server.local:2001";
    QTest::newRow("scheme in capitals") << "TCP://host:1" << int(Protocol::RawTcp) << "host" << 1 << "tcp://host:1";
    QTest::newRow("mixed-case scheme") << "Rfc2217://h:65535" << int(Protocol::Rfc2217) << "h" << 65535
                                       << "rfc2217://h:65535";
    QTest::newRow("IPv6 loopback") << "tcp://[::1]:4001" << int(Protocol::RawTcp) << "::1" << 4001
                                   << "tcp://[::1]:4001";
    QTest::newRow("full IPv6") << "rfc2217://[2001:db8::17]:7000" << int(Protocol::Rfc2217)
                               << "2001:db8::17" << 7000 << "rfc2217://[2001:db8::17]:7000";
    QTest::newRow("leading zeros in port") << "tcp://h:00080" << int(Protocol::RawTcp) << "h" << 80 << "tcp://h:80";
}

void TestNetworkPort::parsesAddresses()
{
    QFETCH(QString, text);
    QFETCH(int, protocol);
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, written);
    const std::optional<NetworkPort> address = ParseNetworkPort(text);
    QVERIFY(address.has_value());
    QCOMPARE(int(address->protocol), protocol);
    QCOMPARE(address->host, host);
    QCOMPARE(int(address->port), port);
    QVERIFY(LooksLikeNetworkPort(text));
    QCOMPARE(NetworkPortText(*address), written);
    QCOMPARE(ParseNetworkPort(written), address);
}

void TestNetworkPort::refusesMalformedAddresses_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("meantForNetwork");

    QTest::newRow("device path") << "/dev/ttyUSB0" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("other scheme") << "udp://h:1" << false;
    QTest::newRow("scheme alone") << "tcp://" << true;
    QTest::newRow("one slash") << "tcp:/h:1" << true;
    QTest::newRow("no port") << "tcp://host" << true;
    QTest::newRow("empty port") << "tcp://host:" << true;
    QTest::newRow("empty host") << "tcp://:4001" << true;
    QTest::newRow("port 0") << "tcp://h:0" << true;
    QTest::newRow("port 65536") << "tcp://h:65536" << true;
    QTest::newRow("six digits") << "tcp://h:000001" << true;
    QTest::newRow("signed port") << "tcp://h:+80" << true;
    QTest::newRow("path after port") << "tcp://h:80/x" << true;
    QTest::newRow("space after port") << "tcp://h:80 " << true;
    QTest::newRow("space in host") << "tcp://a b:80" << true;
    QTest::newRow("IPv6 without brackets") << "tcp://::1:80" << true;
    QTest::newRow("IPv4 in brackets") << "tcp://[127.0.0.1]:80" << true;
    QTest::newRow("unclosed bracket") << "tcp://[::1:80" << true;
    QTest::newRow("bracket without port") << "tcp://[::1]" << true;
    QTest::newRow("not an IPv6 address") << "tcp://[zz::1]:80" << true;
    QTest::newRow("more after the IPv6 address") << QStringLiteral("tcp://[::1\0\0x/y]:80") << true;
    QTest::newRow("space inside the brackets") << "tcp://[::1 ]:80" << true;
    QTest::newRow("user part") << "tcp://user@h:80" << true;
}

void TestNetworkPort::refusesMalformedAddresses()
{
    QFETCH(QString, text);
    QFETCH(bool, meantForNetwork);
    QCOMPARE(ParseNetworkPort(text), std::nullopt);
    QCOMPARE(LooksLikeNetworkPort(text), meantForNetwork);
}

void TestNetworkPort::readsTheLinkTextUnresolved()
{
    TempConfigHome home;
    QVERIFY(home.linkPortToText(5, QStringLiteral("rfc2217://[::1]:2217")));
    QVERIFY(home.linkPort(6, QStringLiteral("/dev/null")));
    QCOMPARE(PortLinkText(5), QStringLiteral("rfc2217://[::1]:2217"));
    QVERIFY(HasPortLink(5));
    QCOMPARE(PortLinkText(6), QStringLiteral("/dev/null"));
    QCOMPARE(PortLinkText(7), QString());
}

void TestNetworkPort::escapesByte255_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("escaped");

    QTest::newRow("nothing to escape") << QByteArray("\r1AHELLO") << QByteArray("\r1AHELLO");
    QTest::newRow("empty") << QByteArray() << QByteArray();
    QTest::newRow("lone 255") << Bytes({255}) << Bytes({255, 255});
    QTest::newRow("255 at both ends, 254 kept") << Bytes({255, 65, 254, 255}) << Bytes({255, 255, 65, 254, 255, 255});
    QTest::newRow("two in a row") << Bytes({255, 255}) << Bytes({255, 255, 255, 255});
}

void TestNetworkPort::escapesByte255()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, escaped);
    QCOMPARE(EscapeTelnetData(data).toHex(' '), escaped.toHex(' '));
    // The reader undoes it.
    TelnetReader reader;
    const TelnetReader::Result back = reader.Feed(escaped);
    QCOMPARE(back.data.toHex(' '), data.toHex(' '));
    QCOMPARE(back.reply, QByteArray());
}

void TestNetworkPort::openingAsksForTheLine()
{
    // 9600 bit/s is 00 00 25 80; 8 data bits, no parity (1), one stop bit (1).
    const QByteArray expected = Bytes({255, 251, 44, 255, 251, 0, 255, 253, 0,
                                       255, 250, 44, 1, 0, 0, 0x25, 0x80, 255, 240,
                                       255, 250, 44, 2, 8, 255, 240,
                                       255, 250, 44, 3, 1, 255, 240,
                                       255, 250, 44, 4, 1, 255, 240});
    QCOMPARE(ComPortOpening(LineSettings{}).toHex(' '), expected.toHex(' '));

    // A baud rate with byte 255 in it is escaped inside the subnegotiation;
    // 2 stop bits and even parity have their own codes.
    LineSettings other;
    other.baudRate = 0x0001FF00;
    other.parity = QSerialPort::EvenParity;
    other.stopBits = QSerialPort::TwoStop;
    other.dataBits = QSerialPort::Data7;
    const QByteArray otherBytes = ComPortOpening(other);
    QVERIFY(otherBytes.contains(Bytes({255, 250, 44, 1, 0, 1, 255, 255, 0, 255, 240})));
    QVERIFY(otherBytes.contains(Bytes({255, 250, 44, 2, 7, 255, 240})));
    QVERIFY(otherBytes.contains(Bytes({255, 250, 44, 3, 3, 255, 240})));
    QVERIFY(otherBytes.contains(Bytes({255, 250, 44, 4, 2, 255, 240})));
}

void TestNetworkPort::readerAnswersAndKeepsData_data()
{
    QTest::addColumn<QByteArray>("stream");
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<bool>("refused");

    QTest::newRow("DO COM port: taken, no answer") << Bytes({255, 253, 44}) << QByteArray() << QByteArray() << true << false;
    QTest::newRow("DONT COM port") << Bytes({255, 254, 44}) << QByteArray() << QByteArray() << false << true;
    QTest::newRow("DO echo refused with WONT") << Bytes({255, 253, 1}) << Bytes({255, 252, 1}) << QByteArray() << false << false;
    QTest::newRow("WILL suppress go-ahead refused with DONT") << Bytes({255, 251, 3}) << Bytes({255, 254, 3})
                                                              << QByteArray() << false << false;
    QTest::newRow("binary both ways needs no answer") << Bytes({255, 251, 0, 255, 253, 0}) << QByteArray()
                                                      << QByteArray() << false << false;
    QTest::newRow("WONT and DONT need no answer") << Bytes({255, 252, 1, 255, 254, 3}) << QByteArray()
                                                  << QByteArray() << false << false;
    QTest::newRow("busy text kept, IAC IAC is one 255")
        << (QByteArray("busy") + Bytes({255, 255}) + QByteArray("\r\n")) << QByteArray()
        << (QByteArray("busy") + Bytes({255}) + QByteArray("\r\n")) << false << false;
    QTest::newRow("subnegotiation is no data, even with 255 255 inside")
        << (Bytes({255, 250, 44, 101, 0, 0, 255, 255, 255, 240}) + QByteArray("x")) << QByteArray()
        << QByteArray("x") << false << false;
    QTest::newRow("no-operation command skipped") << (Bytes({255, 241}) + QByteArray("y")) << QByteArray()
                                                  << QByteArray("y") << false << false;
}

void TestNetworkPort::readerAnswersAndKeepsData()
{
    QFETCH(QByteArray, stream);
    QFETCH(QByteArray, reply);
    QFETCH(QByteArray, data);
    QFETCH(bool, accepted);
    QFETCH(bool, refused);
    // Whole, and one byte at a time: the outcome is the same.
    for (const qsizetype step : {stream.size(), qsizetype(1)}) {
        TelnetReader reader;
        TelnetReader::Result result;
        for (qsizetype at = 0; at < stream.size(); at += qMax<qsizetype>(step, 1)) {
            const TelnetReader::Result piece = reader.Feed(QByteArrayView(stream).sliced(at, qMin(step, stream.size() - at)));
            result.reply += piece.reply;
            result.data += piece.data;
        }
        QCOMPARE(result.reply.toHex(' '), reply.toHex(' '));
        QCOMPARE(result.data.toHex(' '), data.toHex(' '));
        QCOMPARE(reader.ComPortAccepted(), accepted);
        QCOMPARE(reader.ComPortRefused(), refused);
    }
}

void TestNetworkPort::readerFollowsTheServerAcrossPieces()
{
    // The server's answers to the four settings, cut inside a subnegotiation:
    // only the answer to the stop bits (104) settles the line.
    TelnetReader reader;
    static_cast<void>(reader.Feed(Bytes({255, 253, 44, 255, 250, 44, 101, 0, 0, 0x25})));
    QVERIFY(reader.ComPortAccepted());
    static_cast<void>(reader.Feed(Bytes({0x80, 255, 240, 255, 250, 44, 102, 8, 255, 240, 255, 250, 44})));
    QVERIFY(!reader.LineSettled());
    static_cast<void>(reader.Feed(Bytes({104, 1, 255})));
    QVERIFY(!reader.LineSettled());
    const TelnetReader::Result last = reader.Feed(Bytes({240}) + QByteArray("z"));
    QVERIFY(reader.LineSettled());
    QCOMPARE(last.data, QByteArray("z"));
}

void TestNetworkPort::describesConnectFailures_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("cause");

    QTest::newRow("refused") << int(QAbstractSocket::ConnectionRefusedError) << "refused the connection";
    QTest::newRow("name not found") << int(QAbstractSocket::HostNotFoundError) << "name that was not found";
    QTest::newRow("unreachable") << int(QAbstractSocket::NetworkError) << "cannot be reached: system words";
    QTest::newRow("timed out") << int(QAbstractSocket::SocketTimeoutError) << "did not answer in time";
    QTest::newRow("anything else keeps the system's words")
        << int(QAbstractSocket::SocketAccessError) << "cannot be used: system words";
}

void TestNetworkPort::describesConnectFailures()
{
    QFETCH(int, error);
    QFETCH(QString, cause);
    const NetworkPort address{Protocol::Rfc2217, QStringLiteral("sign.example"), 2001};
    const QString text = DescribeConnectFailure(address, QAbstractSocket::SocketError(error),
                                                QStringLiteral("system words"));
    QVERIFY2(text.startsWith(QStringLiteral("The serial server sign.example port 2001 (RFC 2217) ")),
             qPrintable(text));
    QVERIFY2(text.contains(cause), qPrintable(text));
    QVERIFY(!text.contains(u'\n'));
}

void TestNetworkPort::describesBusyServer()
{
    const NetworkPort address{Protocol::RawTcp, QStringLiteral("::1"), 4001};
    const QString quiet = DescribeEndDuringSetUp(address, {});
    QVERIFY2(quiet.contains(QStringLiteral("::1 port 4001 (raw TCP) closed or reset the connection while it was being set up.")),
             qPrintable(quiet));
    QVERIFY2(quiet.contains(QStringLiteral("busy with another client")), qPrintable(quiet));
    // The server's own words, on one line and cut short.
    const QString said = DescribeEndDuringSetUp(address, "Port already in use\r\n" + QByteArray(200, 'x'));
    QVERIFY2(said.contains(QStringLiteral("(it says \"Port already in use xxx")), qPrintable(said));
    QVERIFY(said.size() < quiet.size() + 100);
}

QTEST_GUILESS_MAIN(TestNetworkPort)
#include "tst_networkport.moc"
