#include "desktop.h"
#include "urlrecorder.h"

#include <QtTest>

class TestDesktop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void openHelpFile_handsThePathOverUnchanged_data();
    void openHelpFile_handsThePathOverUnchanged();
    void openWebAddress_handsTheAddressToTheBrowser();
};

void TestDesktop::openHelpFile_handsThePathOverUnchanged_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("plain") << QStringLiteral("/opt/vmb/VantorMsgBoard.hlp");
    // The program in the root folder: a leading "//" that names no host.
    QTest::newRow("root folder") << QStringLiteral("//VantorMsgBoard.hlp");
    QTest::newRow("characters a URL escapes") << QStringLiteral("/home/op/My #1 100%/x.hlp");
    // No URL at all: the failure comes back as a description.
    QTest::newRow("empty") << QString();
}

void TestDesktop::openHelpFile_handsThePathOverUnchanged()
{
    QFETCH(QString, path);
    UrlRecorder viewer(QStringLiteral("file"));

    const QString failure = OpenHelpFile(nullptr, path);

    QCOMPARE(failure.isEmpty(), !path.isEmpty());
    QCOMPARE(viewer.urls.size(), path.isEmpty() ? 0 : 1);
    if (!path.isEmpty())
        QCOMPARE(viewer.urls.first().toLocalFile(), path);
}

void TestDesktop::openWebAddress_handsTheAddressToTheBrowser()
{
    UrlRecorder browser(QStringLiteral("https"));
    const QUrl address(QStringLiteral("https://www.vantor.example/support?page=2"));
    OpenWebAddress(address.toString());
    QCOMPARE(browser.urls, QList<QUrl>{address});
}

QTEST_GUILESS_MAIN(TestDesktop)
#include "tst_desktop.moc"
