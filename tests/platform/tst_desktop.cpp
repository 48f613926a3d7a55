#include "desktop.h"
#include "urlrecorder.h"

#include <QGuiApplication>
#include <QTemporaryDir>
#include <QtTest>

class TestDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openLocalFile_handsThePathOverUnchanged_data();
    void openLocalFile_handsThePathOverUnchanged();
    void openWebAddress_handsTheAddressToTheBrowser();
    void openLocalFile_withoutHandler_saysWhy();
    void diagnoseRefusal_data();
    void diagnoseRefusal();
};

void TestDesktop::openLocalFile_handsThePathOverUnchanged_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << QStringLiteral("/opt/vmb/VantorMsgBoard.hlp");
    // The program in the root folder: a leading "//" that names no host.
    QTest::newRow("root folder") << QStringLiteral("//VantorMsgBoard.hlp");
    QTest::newRow("characters a URL escapes") << QStringLiteral("/home/op/My #1 100%/x.hlp");
    // No URL at all: the failure comes back as a description.
    QTest::newRow("empty") << QString();
}

void TestDesktop::openLocalFile_handsThePathOverUnchanged()
{
    QFETCH(QString, path);
    UrlRecorder viewer(QStringLiteral("file"));

    const DesktopOpenResult result = OpenLocalFile(path);

    QCOMPARE(result.opened(), !path.isEmpty());
    QCOMPARE(result.refusal,
             path.isEmpty() ? DesktopRefusal::NotAnAddress : DesktopRefusal::None);
    QCOMPARE(viewer.urls.size(), path.isEmpty() ? 0 : 1);
    if (!path.isEmpty())
        QCOMPARE(viewer.urls.first().toLocalFile(), path);
}

void TestDesktop::openWebAddress_handsTheAddressToTheBrowser()
{
    UrlRecorder browser(QStringLiteral("https"));
    const QUrl address(QStringLiteral("https://www.vantor.example/support?page=2"));
    QVERIFY(OpenWebAddress(address.toString()).opened());
    QCOMPARE(browser.urls, QList<QUrl>{address});
}

// No handler is set here, and the test platform starts no programs: the
// refusal is explained by what can be seen, the launcher on PATH first.
void TestDesktop::openLocalFile_withoutHandler_saysWhy()
{
    const QByteArray savedPath = qgetenv("PATH");
    QTemporaryDir emptyBin;
    QVERIFY(emptyBin.isValid());
    qputenv("PATH", QFile::encodeName(emptyBin.path()));
    const DesktopOpenResult withoutLauncher = OpenLocalFile(QStringLiteral("/tmp/guide.html"));
    const DesktopOpenResult webWithoutLauncher = OpenWebAddress(QStringLiteral("https://a.example/"));
    qputenv("PATH", savedPath);

    QCOMPARE(withoutLauncher.refusal, DesktopRefusal::NoLauncher);
    QCOMPARE(webWithoutLauncher.refusal, DesktopRefusal::NoLauncher);
    QCOMPARE(withoutLauncher.platformName, QGuiApplication::platformName());
}

void TestDesktop::diagnoseRefusal_data()
{
    QTest::addColumn<QString>("launcher");
    QTest::addColumn<QString>("platform");
    QTest::addColumn<DesktopRefusal>("expected");
    const QString xdgOpen = QStringLiteral("/usr/bin/xdg-open");
    QTest::newRow("no launcher on a desktop") << QString() << QStringLiteral("xcb")
                                              << DesktopRefusal::NoLauncher;
    QTest::newRow("no launcher, no desktop") << QString() << QStringLiteral("offscreen")
                                             << DesktopRefusal::NoLauncher;
    QTest::newRow("offscreen") << xdgOpen << QStringLiteral("offscreen") << DesktopRefusal::NoDesktop;
    QTest::newRow("minimal") << xdgOpen << QStringLiteral("minimal") << DesktopRefusal::NoDesktop;
    QTest::newRow("x11") << xdgOpen << QStringLiteral("xcb") << DesktopRefusal::LauncherFailed;
    QTest::newRow("wayland") << xdgOpen << QStringLiteral("wayland") << DesktopRefusal::LauncherFailed;
}

void TestDesktop::diagnoseRefusal()
{
    QFETCH(QString, launcher);
    QFETCH(QString, platform);
    QFETCH(DesktopRefusal, expected);
    QCOMPARE(DiagnoseRefusal(launcher, platform), expected);
}

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
