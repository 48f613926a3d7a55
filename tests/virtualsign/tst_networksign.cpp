// The virtual sign on the network, end to end: VantorVirtualSign --print
// --listen ADDRESS in its own process, the console's control linked to the
// same address; the sign's lines show what it decoded.

#include "consoleopening.h"
#include "networksign.h"
#include "processlines.h"
#include "ptypair.h"
#include "portcontrol.h"
#include "ser2netserver.h"
#include "signcommand.h"

#include <QProcess>
#include <QTcpSocket>
#include <QTest>

#include <memory>

namespace {

constexpr int LinkedPort = 5;

// The sign listening on a free local port; its first line read.
struct ListeningSign
{
    QProcess process;
    QString address;

    explicit ListeningSign(const QString &scheme)
        : address(scheme + QStringLiteral("://127.0.0.1:") + QString::number(ClosedLocalPort()))
    {
        process.setProgram(QStringLiteral(VIRTUALSIGN_EXECUTABLE));
        process.setArguments({QStringLiteral("--print"), QStringLiteral("--listen"), address});
        process.start();
    }
    ~ListeningSign()
    {
        process.terminate();
        process.waitForFinished(5000);
    }
};


} // namespace

class TestNetworkSign : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesWhatTheConsoleSends_data();
    void decodesWhatTheConsoleSends();
    void refusesAddressThatIsNone();
    void standsAHostileClient_data();
    void standsAHostileClient();
};

void TestNetworkSign::decodesWhatTheConsoleSends_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::newRow("raw TCP") << QStringLiteral("tcp");
    QTest::newRow("RFC 2217") << QStringLiteral("rfc2217");
}

void TestNetworkSign::decodesWhatTheConsoleSends()
{
    QFETCH(QString, scheme);
    const TempConfigHome home;
    ListeningSign sign(scheme);
    QVERIFY2(sign.process.waitForStarted(), qPrintable(sign.process.errorString()));
    QCOMPARE(ReadLine(sign.process), QStringLiteral("listen=") + sign.address);
    QVERIFY(home.linkPortToText(LinkedPort, sign.address));

    PortControl console;
    QCOMPARE(OpenAsConsole(console, LinkedPort), QString());
    QVERIFY(console.Output(BuildSignCommand(QStringLiteral("7"), 2, QStringLiteral("75"), QStringLiteral("HELLO"))).ok);
    QCOMPARE(ReadLine(sign.process),
             QStringLiteral("board=7 presentation=2 brightness=75 message=\"HELLO\" "
                            "hex=0D 37 43 32 0D 37 42 37 35 0D 37 41 48 45 4C 4C 4F 0D 37 44"));
    // Byte 255 arrives once, whatever the transport does with it.
    QVERIFY(console.Output(BuildSignCommand(QStringLiteral("1"), 0, QStringLiteral("99"), QStringLiteral("\u00FF"))).ok);
    QCOMPARE(ReadLine(sign.process).section(QStringLiteral(" hex="), 1),
             QStringLiteral("0D 31 43 30 0D 31 42 39 39 0D 31 41 FF 0D 31 44"));

    // One client at a time: a second console hears that the sign is busy.
    PortControl second;
    QStringList reported;
    second.SetFailureHandler([&reported](const QString &why) { reported << why; });
    QString busy = OpenAsConsole(second, LinkedPort);
    if (busy.isEmpty()) {
        // A raw server's close is not waited for at open: it shows while idle.
        QTRY_COMPARE(reported.size(), 1);
        busy = reported.first();
    }
    QVERIFY2(busy.contains(QStringLiteral("busy with another client")), qPrintable(busy));
    QVERIFY2(busy.contains(QStringLiteral("Busy with another client")), qPrintable(busy));

    // Once the first has gone, the next is served.
    console.Close();
    std::unique_ptr<PortControl> next;
    QString refused = QStringLiteral("<not tried>");
    for (int attempt = 0; attempt < 20 && !refused.isEmpty(); ++attempt) {
        if (attempt > 0)
            QTest::qWait(100);  // the sign sees the first client go
        next = std::make_unique<PortControl>();
        QStringList closed;
        next->SetFailureHandler([&closed](const QString &why) { closed << why; });
        refused = OpenAsConsole(*next, LinkedPort);
        // A raw server's busy close shows while idle, not at open.
        QTest::qWait(300);
        if (refused.isEmpty() && !closed.isEmpty())
            refused = closed.first();
    }
    QVERIFY2(refused.isEmpty(), qPrintable(refused));
    QVERIFY(next->Output(BuildSignCommand(QStringLiteral("2"), 0, QStringLiteral("1"), QStringLiteral("NEXT"))).ok);
    QVERIFY(ReadLine(sign.process).contains(QStringLiteral("message=\"NEXT\"")));
}

void TestNetworkSign::refusesAddressThatIsNone()
{
    QProcess sign;
    sign.setProgram(QStringLiteral(VIRTUALSIGN_EXECUTABLE));
    sign.setArguments({QStringLiteral("--print"), QStringLiteral("--listen"), QStringLiteral("tcp://127.0.0.1")});
    sign.start();
    QVERIFY(sign.waitForFinished(5000));
    QCOMPARE(sign.exitCode(), 1);
    QVERIFY(sign.readAllStandardError().contains("is no address"));
}

void TestNetworkSign::standsAHostileClient_data()
{
    QTest::addColumn<QString>("scheme");
    QTest::addColumn<QString>("client");

    for (const char *scheme : {"tcp", "rfc2217"}) {
        QTest::addRow("%s, reconnecting at once", scheme) << scheme << "reconnect";
        QTest::addRow("%s, flooding with no CR", scheme) << scheme << "flood";
    }
}

// A client that closes and reconnects at once is the same client, not a
// second one; a flood neither holds the sign past a signal to end nor
// keeps it from ending.
void TestNetworkSign::standsAHostileClient()
{
    QFETCH(QString, scheme);
    QFETCH(QString, client);
    ListeningSign sign(scheme);
    QVERIFY2(sign.process.waitForStarted(), qPrintable(sign.process.errorString()));
    QCOMPARE(ReadLine(sign.process), QStringLiteral("listen=") + sign.address);
    const quint16 port = static_cast<quint16>(sign.address.section(u':', -1).toUInt());

    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QStringLiteral("127.0.0.1"), port);
    QVERIFY(socket->waitForConnected(3000));
    if (client == "reconnect") {
        for (int round = 0; round < 30; ++round) {
            socket->disconnectFromHost();
            socket = std::make_unique<QTcpSocket>();
            socket->connectToHost(QStringLiteral("127.0.0.1"), port);
            QVERIFY(socket->waitForConnected(3000));
            static_cast<void>(socket->waitForReadyRead(100));
            QVERIFY2(!socket->readAll().contains(NetworkSign::BusyText), qPrintable(QString::number(round)));
        }
        return;
    }
    const QByteArray flood(1024 * 1024, 'z');
    for (int i = 0; i < 64; ++i) {
        socket->write(flood);
        static_cast<void>(socket->waitForBytesWritten(100));
    }
    sign.process.terminate();
    QVERIFY(sign.process.waitForFinished(5000));
    QCOMPARE(sign.process.exitStatus(), QProcess::NormalExit);
}

QTEST_GUILESS_MAIN(TestNetworkSign)
#include "tst_networksign.moc"
