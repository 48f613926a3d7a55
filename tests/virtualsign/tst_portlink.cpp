#include "portlink.h"
#include "ptypair.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

class TestPortLink : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void parsesPortArgument_data();
    void parsesPortArgument();
    void followsConfigHome();
    void claimsAndRemovesItsOwnLink();
    void refusesForeignEntry_data();
    void refusesForeignEntry();
    void leavesLinkThatWasReplaced();
    void takesOverOnlyADeadSignsLink_data();
    void takesOverOnlyADeadSignsLink();
    void picksLowestFreePort();
};

namespace {

QString LinkTarget(const QString &path)
{
    return QFileInfo(path).isSymLink() ? QFile::symLinkTarget(path) : QString();
}

bool EntryExists(const QString &path)
{
    // A dangling link counts as an entry too.
    return QFileInfo(path).isSymLink() || QFileInfo::exists(path);
}

} // namespace

void TestPortLink::parsesPortArgument_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("port");  // 0: refused

    QTest::newRow("plain") << "COM5" << 5;
    QTest::newRow("lower case") << "com3" << 3;
    QTest::newRow("spaces around and after COM") << "  Com 12 " << 12;
    QTest::newRow("leading zeros") << "COM007" << 7;
    QTest::newRow("highest") << "COM32767" << 32767;
    QTest::newRow("beyond 16 bits") << "COM32768" << 0;
    QTest::newRow("port 0 names no device") << "COM0" << 0;
    QTest::newRow("no number") << "COM" << 0;
    QTest::newRow("trailing letter") << "COM3X" << 0;
    QTest::newRow("negative") << "COM-1" << 0;
    QTest::newRow("two ports") << "COM3 COM4" << 0;
    QTest::newRow("other device") << "LPT1" << 0;
    QTest::newRow("empty") << "" << 0;
    QTest::newRow("blank") << "   " << 0;
    QTest::newRow("many leading zeros") << "COM000007" << 7;
    QTest::newRow("tab after COM") << "COM\t7" << 0;
    QTest::newRow("tab after the number") << "COM7\t" << 0;
    QTest::newRow("zeros beyond 16 bits") << "COM0000000000032767" << 32767;
}

void TestPortLink::parsesPortArgument()
{
    QFETCH(QString, argument);
    QFETCH(int, port);
    QCOMPARE(ParsePortArgument(argument).value_or(0), port);
}

void TestPortLink::followsConfigHome()
{
    const TempConfigHome home;
    QCOMPARE(PortDirectory().linkPath(5), home.path() + QStringLiteral("/VantorMsgBoard/ports/com5"));
    QCOMPARE(PortDirectory().fallbackDevicePath(1), QStringLiteral("/dev/ttyS0"));

    // An empty or relative variable counts as unset. TempConfigHome restores it after.
    const QString fallback = QDir::homePath() + QStringLiteral("/.config/VantorMsgBoard/ports/com12");
    qputenv("XDG_CONFIG_HOME", QByteArray());
    QCOMPARE(PortDirectory().linkPath(12), fallback);
    qputenv("XDG_CONFIG_HOME", QByteArray("relative/config"));
    QCOMPARE(PortDirectory().linkPath(12), fallback);
}

void TestPortLink::claimsAndRemovesItsOwnLink()
{
    const TempConfigHome home;
    const PortDirectory ports;
    const QString linkPath = ports.linkPath(3);
    QString error;
    {
        const auto link = PortLink::claim(ports, 3, QStringLiteral("/dev/pts/99"), &error);
        QVERIFY2(link, qPrintable(error));
        QCOMPARE(link->port(), 3);
        QCOMPARE(link->portName(), QStringLiteral("COM3"));
        QCOMPARE(link->linkPath(), linkPath);
        QCOMPARE(LinkTarget(linkPath), QStringLiteral("/dev/pts/99"));
        QVERIFY(ports.isTaken(3));
        QVERIFY(!ports.isTaken(4));
    }
    QVERIFY(!EntryExists(linkPath));
    QVERIFY(QFileInfo(ports.portsFolder()).isDir());
}

void TestPortLink::refusesForeignEntry_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("link to another device") << "link";
    QTest::newRow("link to nothing") << "dangling";
    QTest::newRow("plain file") << "file";
    QTest::newRow("folder") << "folder";
}

void TestPortLink::refusesForeignEntry()
{
    QFETCH(QString, kind);
    const TempConfigHome home;
    const PortDirectory ports;
    const QString linkPath = ports.linkPath(2);
    QVERIFY(QDir().mkpath(ports.portsFolder()));
    if (kind == u"link")
        QVERIFY(QFile::link(QStringLiteral("/dev/null"), linkPath));
    else if (kind == u"dangling")
        QVERIFY(QFile::link(home.path() + QStringLiteral("/gone"), linkPath));
    else if (kind == u"file")
        QVERIFY(QFile(linkPath).open(QIODevice::WriteOnly));
    else
        QVERIFY(QDir().mkpath(linkPath));
    const bool wasDir = QFileInfo(linkPath).isDir();
    const QString targetBefore = LinkTarget(linkPath);

    QString error;
    QVERIFY(!PortLink::claim(ports, 2, QStringLiteral("/dev/pts/99"), &error));
    QVERIFY2(error.contains(linkPath), qPrintable(error));
    QVERIFY(error.contains(QStringLiteral("COM2")));

    QVERIFY(EntryExists(linkPath));
    QCOMPARE(QFileInfo(linkPath).isDir(), wasDir);
    QCOMPARE(LinkTarget(linkPath), targetBefore);
}

void TestPortLink::leavesLinkThatWasReplaced()
{
    const TempConfigHome home;
    const PortDirectory ports;
    QString error;
    auto link = PortLink::claim(ports, 4, QStringLiteral("/dev/pts/99"), &error);
    QVERIFY2(link, qPrintable(error));
    QVERIFY(QFile::remove(ports.linkPath(4)));
    QVERIFY(QFile::link(QStringLiteral("/dev/null"), ports.linkPath(4)));
    link.reset();
    QCOMPARE(LinkTarget(ports.linkPath(4)), QStringLiteral("/dev/null"));
}

void TestPortLink::takesOverOnlyADeadSignsLink_data()
{
    QTest::addColumn<bool>("processLives");
    QTest::addColumn<QString>("descriptor");
    QTest::addColumn<bool>("takenOver");

    QTest::newRow("killed sign") << false << "0" << true;
    QTest::newRow("live sign") << true << "0" << false;
    QTest::newRow("live process, descriptor closed") << true << "999" << true;
}

void TestPortLink::takesOverOnlyADeadSignsLink()
{
    QFETCH(bool, processLives);
    QFETCH(QString, descriptor);
    QFETCH(bool, takenOver);
    const TempConfigHome home;
    const PortDirectory ports;
    QProcess sign;
    sign.start(QStringLiteral("sleep"), {QStringLiteral("60")});
    QVERIFY(sign.waitForStarted());
    const QString left = QStringLiteral("/proc/%1/fd/%2").arg(sign.processId()).arg(descriptor);
    QString error;
    auto first = PortLink::claim(ports, 6, left, &error);
    QVERIFY2(first, qPrintable(error));
    if (!processLives) {
        sign.kill();
        QVERIFY(sign.waitForFinished());
    }

    QCOMPARE(ports.isTaken(6), !takenOver);
    const auto second = PortLink::claim(ports, 6, QStringLiteral("/dev/pts/99"), &error);
    QCOMPARE(bool(second), takenOver);
    QCOMPARE(LinkTarget(ports.linkPath(6)), takenOver ? QStringLiteral("/dev/pts/99") : left);
    sign.kill();
    sign.waitForFinished();
}

void TestPortLink::picksLowestFreePort()
{
    const QTemporaryDir devices;
    const QTemporaryDir folder;
    QVERIFY(devices.isValid() && folder.isValid());
    const PortDirectory ports(folder.path() + QStringLiteral("/ports"), devices.path() + QStringLiteral("/ttyS"));
    QCOMPARE(ports.lowestFreePort(), std::optional<int>(1));

    // Serial devices ttyS0 and ttyS1 are COM1 and COM2; a link to nothing
    // still holds COM3.
    QVERIFY(QFile(devices.path() + QStringLiteral("/ttyS0")).open(QIODevice::WriteOnly));
    QVERIFY(QFile(devices.path() + QStringLiteral("/ttyS1")).open(QIODevice::WriteOnly));
    QVERIFY(QDir().mkpath(ports.portsFolder()));
    QVERIFY(QFile::link(QStringLiteral("/nonexistent"), ports.linkPath(3)));
    // A gap is used before anything above it.
    QVERIFY(QFile(devices.path() + QStringLiteral("/ttyS4")).open(QIODevice::WriteOnly));
    QCOMPARE(ports.lowestFreePort(), std::optional<int>(4));

    QString error;
    const auto first = PortLink::claimLowestFree(ports, QStringLiteral("/dev/pts/98"), &error);
    QVERIFY2(first, qPrintable(error));
    QCOMPARE(first->port(), 4);
    const auto second = PortLink::claimLowestFree(ports, QStringLiteral("/dev/pts/99"), &error);
    QVERIFY2(second, qPrintable(error));
    QCOMPARE(second->port(), 6);
    QCOMPARE(LinkTarget(ports.linkPath(6)), QStringLiteral("/dev/pts/99"));
}

QTEST_GUILESS_MAIN(TestPortLink)
#include "tst_portlink.moc"
