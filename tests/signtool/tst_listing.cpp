#include "commandline.h"
#include "exitstatus.h"
#include "listingformat.h"
#include "portlinks.h"
#include "portlisting.h"
#include "portnaming.h"
#include "ptypair.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

// What `ports` makes of the findings, and the link rules of `link`/`unlink`,
// on files made for the test.
class TestListing : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void namesPortsOfADevice_data();
    void namesPortsOfADevice();
    void readsLinkNames_data();
    void readsLinkNames();
    void shapesDevicesAndOtherLinks();
    void writesTheListingAsJson();
    void showsVirtualSignLinks_data();
    void showsVirtualSignLinks();
    void linksTheStableName();
    void linkRefusesAndReplaces();
    void linksAndListsNetworkAddresses_data();
    void linksAndListsNetworkAddresses();
    void unlinkRemovesOnlyLinks();
};

namespace {

PortLinkEntry Link(int port, const QString &resolved)
{
    return {port, QStringLiteral("/cfg/ports/com%1").arg(port), resolved, resolved};
}

std::optional<PortHolder> NoHolder(const QString &)
{
    return std::nullopt;
}

} // namespace

void TestListing::namesPortsOfADevice_data()
{
    QTest::addColumn<QString>("device");
    QTest::addColumn<QList<PortLinkEntry>>("links");
    QTest::addColumn<QList<int>>("ports");

    QTest::newRow("first built-in port") << "/dev/ttyS0" << QList<PortLinkEntry> {} << QList<int> {1};
    QTest::newRow("tenth built-in port") << "/dev/ttyS9" << QList<PortLinkEntry> {} << QList<int> {10};
    QTest::newRow("a link of the same number wins over ttyS")
        << "/dev/ttyS2" << QList<PortLinkEntry> {Link(3, "/dev/ttyUSB0")} << QList<int> {};
    QTest::newRow("built-in port also linked elsewhere")
        << "/dev/ttyS2" << QList<PortLinkEntry> {Link(5, "/dev/ttyS2")} << QList<int> {3, 5};
    QTest::newRow("USB adapter named twice, in order")
        << "/dev/ttyUSB0"
        << QList<PortLinkEntry> {Link(9, "/dev/ttyUSB0"), Link(2, "/dev/ttyUSB0"), Link(4, "/dev/ttyUSB1")}
        << QList<int> {2, 9};
    QTest::newRow("USB adapter not linked") << "/dev/ttyUSB0" << QList<PortLinkEntry> {} << QList<int> {};
    QTest::newRow("broken link names nothing")
        << "/dev/ttyUSB0" << QList<PortLinkEntry> {Link(2, QString())} << QList<int> {};
    QTest::newRow("ttyS past 16 bits") << "/dev/ttyS32767" << QList<PortLinkEntry> {} << QList<int> {};
    QTest::newRow("ttyS with letters") << "/dev/ttyS1a" << QList<PortLinkEntry> {} << QList<int> {};
}

void TestListing::namesPortsOfADevice()
{
    QFETCH(QString, device);
    QFETCH(QList<PortLinkEntry>, links);
    QFETCH(QList<int>, ports);

    QCOMPARE(PortsNaming(device, links), ports);
}

void TestListing::readsLinkNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("port");  // 0: not a port link

    QTest::newRow("com1") << "com1" << 1;
    QTest::newRow("com32767") << "com32767" << 32767;
    QTest::newRow("com32768") << "com32768" << 0;
    QTest::newRow("com0") << "com0" << 0;
    QTest::newRow("leading zero") << "com03" << 0;
    QTest::newRow("upper case") << "COM3" << 0;
    QTest::newRow("temporary name") << "com3.new-42" << 0;
    QTest::newRow("com") << "com" << 0;
}

void TestListing::readsLinkNames()
{
    QFETCH(QString, name);
    QFETCH(int, port);

    QCOMPARE(PortFromLinkName(name).value_or(0), port);
}

void TestListing::shapesDevicesAndOtherLinks()
{
    const QList<SerialDevice> devices {{"/dev/ttyS0", {}, {}, {}, {}, {}},
                                       {"/dev/ttyUSB0", "FT232R", "FTDI", "A1", 0x0403, 0x6001}};
    const QList<PortLinkEntry> links {Link(1, "/dev/pts/4"), Link(3, "/dev/ttyUSB0"), Link(6, QString()),
                                      {7, "/cfg/ports/com7", QStringLiteral("\x1b]0;title\x07/dev/\x9bgone"), QString()}};
    const StableNames stable {{"/dev/ttyUSB0", {"/dev/serial/by-id/usb-FTDI-A1"}}};
    const auto holder = [](const QString &device) {
        return device == QLatin1String("/dev/pts/4") ? std::optional<PortHolder>({77, "sign"}) : std::nullopt;
    };

    const PortListing listing = ShapeListing(devices, links, stable, holder);

    QCOMPARE(listing.devices.size(), 2);
    QCOMPARE(listing.devices.at(0).ports, QList<int> {});  // com1 leads elsewhere
    QCOMPARE(listing.devices.at(1).ports, QList<int> {3});
    QCOMPARE(listing.devices.at(1).stableNames, QStringList {"/dev/serial/by-id/usb-FTDI-A1"});
    QCOMPARE(listing.otherLinks.size(), 3);
    QCOMPARE(listing.otherLinks.at(0).link.port, 1);
    QCOMPARE(listing.otherLinks.at(0).holder->pid, 77);
    QCOMPARE(listing.otherLinks.at(1).link.port, 6);
    QVERIFY(!listing.otherLinks.at(1).holder);

    const QString text = ListingText(listing);
    QVERIFY2(text.contains("/dev/ttyUSB0  COM3\n"), qPrintable(text));
    QVERIFY2(text.contains("0403:6001"), qPrintable(text));
    QVERIFY2(text.contains("COM1  /cfg/ports/com1 -> /dev/pts/4  (in use: yes, process 77, sign)"),
             qPrintable(text));
    QVERIFY2(text.contains("(leads nowhere)"), qPrintable(text));
    QVERIFY2(text.contains("COM7  /cfg/ports/com7 -> \\x1B]0;title\\x07/dev/\\x9Bgone  (leads nowhere)\n"),
             qPrintable(text));
}

void TestListing::writesTheListingAsJson()
{
    const PortListing listing {
        {{{"/dev/ttyUSB0", "FT232R", "", "A1", 0x0403, std::nullopt}, {"/dev/serial/by-id/x"},
          PortHolder{12, "VantorMsgBoard"}, {2, 5}}},
        {{Link(7, "/dev/pts/3"), {}}},
    };

    // Through text and back, as a script would read it.
    const QJsonObject root = QJsonDocument::fromJson(ListingJson(listing).toJson()).object();

    const QJsonArray devices = root.value("devices").toArray();
    QCOMPARE(devices.size(), 1);
    const QJsonObject device = devices.first().toObject();
    QCOMPARE(device.value("device").toString(), QStringLiteral("/dev/ttyUSB0"));
    QCOMPARE(device.value("stableNames").toArray(), QJsonArray {"/dev/serial/by-id/x"});
    QVERIFY(device.value("manufacturer").isNull());
    QCOMPARE(device.value("vendorId").toString(), QStringLiteral("0403"));
    QVERIFY(device.value("productId").isNull());
    QCOMPARE(device.value("inUse").toBool(), true);
    QCOMPARE(device.value("holderPid").toInteger(), 12);
    QCOMPARE(device.value("holder").toString(), QStringLiteral("process 12, VantorMsgBoard"));
    QCOMPARE(device.value("ports").toArray(), (QJsonArray {2, 5}));

    const QJsonArray links = root.value("links").toArray();
    QCOMPARE(links.size(), 1);
    const QJsonObject link = links.first().toObject();
    QCOMPARE(link.value("port").toInt(), 7);
    QCOMPARE(link.value("device").toString(), QStringLiteral("/dev/pts/3"));
    QCOMPARE(link.value("inUse").toBool(), false);
    QVERIFY(link.value("holderPid").isNull());
}

void TestListing::linksTheStableName()
{
    PtyPair pty;
    QVERIFY(pty.isValid());
    QTemporaryDir byId;
    const QString stable = byId.filePath("usb-Maker_Adapter_A1-if00-port0");
    QVERIFY(QFile::link(pty.slavePath(), stable));

    QCOMPARE(NameToLink(pty.slavePath(), byId.path()), stable);
    QCOMPARE(NameToLink(stable, byId.path()), stable);
    QCOMPARE(NameToLink("/dev/null", byId.path()), QStringLiteral("/dev/null"));
    QVERIFY(NameToLink(byId.filePath("gone"), byId.path()).isEmpty());
}

void TestListing::linkRefusesAndReplaces()
{
    const TempConfigHome config;
    PtyPair first;
    PtyPair second;
    QVERIFY(first.isValid() && second.isValid());
    QTemporaryDir noStableNames;
    const QString link = PortLinkPath(4);

    const ToolOutcome made = LinkPort({4, first.slavePath(), false}, noStableNames.path());
    QCOMPARE(made.status, ExitStatus::Ok);
    QCOMPARE(QFileInfo(link).symLinkTarget(), first.slavePath());

    const ToolOutcome refused = LinkPort({4, second.slavePath(), false}, noStableNames.path());
    QCOMPARE(refused.status, ExitStatus::CannotCreate);
    QVERIFY2(refused.message.contains("--force"), qPrintable(refused.message));
    QCOMPARE(QFileInfo(link).symLinkTarget(), first.slavePath());

    const ToolOutcome replaced = LinkPort({4, second.slavePath(), true}, noStableNames.path());
    QCOMPARE(replaced.status, ExitStatus::Ok);
    QCOMPARE(QFileInfo(link).symLinkTarget(), second.slavePath());
    QCOMPARE(QDir(PortLinksFolder()).entryList(QDir::System | QDir::AllEntries | QDir::NoDotAndDotDot),
             QStringList {"com4"});

    const ToolOutcome missing = LinkPort({5, "/dev/no-such-device", true}, noStableNames.path());
    QCOMPARE(missing.status, ExitStatus::NoInput);
    QVERIFY(!QFileInfo(PortLinkPath(5)).isSymLink());

    // A file that is no device is a mistake unless the user insists.
    const QString plainFile = noStableNames.filePath("passwd");
    QVERIFY(QFile(plainFile).open(QIODevice::WriteOnly));
    const ToolOutcome notDevice = LinkPort({6, plainFile, false}, noStableNames.path());
    QCOMPARE(notDevice.status, ExitStatus::Usage);
    QVERIFY(!QFileInfo(PortLinkPath(6)).isSymLink());
    QCOMPARE(LinkPort({6, plainFile, true}, noStableNames.path()).status, ExitStatus::Ok);
    // A folder in the way of the link being made: the reason is that one,
    // not the failed clean-up's after it.
    const QString inTheWay = PortLinkPath(6) + ".new-" + QString::number(QCoreApplication::applicationPid());
    QVERIFY(QDir().mkpath(inTheWay + "/full"));
    const ToolOutcome blocked = LinkPort({6, first.slavePath(), true}, noStableNames.path());
    QCOMPARE(blocked.status, ExitStatus::CannotCreate);
    QCOMPARE(blocked.message, QStringLiteral("Cannot make %1: %2.")
                                  .arg(PortLinkPath(6), QString::fromLocal8Bit(std::strerror(EEXIST))));
}

void TestListing::linksAndListsNetworkAddresses_data()
{
    QTest::addColumn<QString>("given");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("stored");

    QTest::newRow("raw TCP") << "tcp://10.0.0.5:4001" << int(ExitStatus::Ok) << "tcp://10.0.0.5:4001";
    QTest::newRow("RFC 2217, scheme and port tidied") << "RFC2217://[::1]:02001" << int(ExitStatus::Ok)
                                                       << "rfc2217://[::1]:2001";
    QTest::newRow("port out of range") << "tcp://10.0.0.5:70000" << int(ExitStatus::Usage) << "";
    QTest::newRow("no port") << "rfc2217://host" << int(ExitStatus::Usage) << "";
}

void TestListing::linksAndListsNetworkAddresses()
{
    QFETCH(QString, given);
    QFETCH(int, status);
    QFETCH(QString, stored);
    const TempConfigHome config;
    QTemporaryDir noStableNames;

    const ToolOutcome made = LinkPort({5, given, false}, noStableNames.path());
    QCOMPARE(made.status, status);
    QCOMPARE(LinkText(PortLinkPath(5)), stored);
    if (stored.isEmpty()) {
        QVERIFY2(made.message.contains(given), qPrintable(made.message));
        return;
    }
    QCOMPARE(made.message, QStringLiteral("COM5 -> ") + stored);

    const QList<PortLinkEntry> links = ScanPortLinks(PortLinksFolder());
    QCOMPARE(links.size(), 1);
    QCOMPARE(links.first().target, stored);
    const PortListing listing = ShapeListing({}, links, {}, NoHolder);
    QCOMPARE(listing.otherLinks.size(), 1);
    const QString text = ListingText(listing);
    QVERIFY2(text.contains(QStringLiteral("-> ") + stored + QStringLiteral("  (serial server on the network)")),
             qPrintable(text));

    // A second link to the port names the server it has.
    const ToolOutcome refused = LinkPort({5, QStringLiteral("tcp://other:1"), false}, noStableNames.path());
    QCOMPARE(refused.status, int(ExitStatus::CannotCreate));
    QVERIFY2(refused.message.contains(stored), qPrintable(refused.message));
}

void TestListing::unlinkRemovesOnlyLinks()
{
    const TempConfigHome config;
    QVERIFY(config.linkPort(2, "/dev/gone-away"));
    QVERIFY(QDir().mkpath(PortLinkPath(3)));

    QCOMPARE(UnlinkPort(2).status, ExitStatus::Ok);
    QVERIFY(!QFileInfo(PortLinkPath(2)).isSymLink());
    QCOMPARE(UnlinkPort(2).status, ExitStatus::NoInput);
    QCOMPARE(UnlinkPort(3).status, ExitStatus::CannotCreate);
    QVERIFY(QFileInfo(PortLinkPath(3)).isDir());

    // A live sign's link stays unless forced; this process stands in for the sign.
    const QString signTarget = QStringLiteral("/proc/%1/fd/0").arg(QCoreApplication::applicationPid());
    QVERIFY(config.linkPort(4, signTarget));
    const ToolOutcome held = UnlinkPort(4);
    QCOMPARE(held.status, ExitStatus::CannotCreate);
    QVERIFY2(held.message.contains("virtual sign"), qPrintable(held.message));
    QVERIFY(QFileInfo(PortLinkPath(4)).isSymLink());
    QCOMPARE(UnlinkPort(4, true).status, ExitStatus::Ok);
}

void TestListing::showsVirtualSignLinks_data()
{
    QTest::addColumn<QString>("resolved");
    QTest::addColumn<bool>("otherUsers");
    QTest::addColumn<QString>("line");

    QTest::newRow("this user's sign")
        << "/dev/pts/3" << false << "COM2  /cfg/ports/com2 -> the virtual sign (process 4242) on /dev/pts/3  (in use: no)";
    QTest::newRow("another user's sign")
        << "" << true << "COM2  /cfg/ports/com2 -> the virtual sign (process 4242)  (belongs to another user)";
    QTest::newRow("a sign that is gone")
        << "" << false << "COM2  /cfg/ports/com2 -> the virtual sign (process 4242)  (leads nowhere)";
}

void TestListing::showsVirtualSignLinks()
{
    QFETCH(QString, resolved);
    QFETCH(bool, otherUsers);
    QFETCH(QString, line);
    PortLinkEntry link {2, "/cfg/ports/com2", "/proc/4242/fd/7", resolved, otherUsers};
    const PortListing listing = ShapeListing({}, {link}, {}, NoHolder);
    QCOMPARE(ListingText(listing).split(u'\n').value(3), line);
}

QTEST_GUILESS_MAIN(TestListing)
#include "tst_listing.moc"
