#include "shellassets.h"

#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QtTest>

class TestShellAssets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pictures_haveTheirDesignedSizes_data();
    void pictures_haveTheirDesignedSizes();
};

void TestShellAssets::pictures_haveTheirDesignedSizes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<int>("maxColours");   // 0: not loaded as a palette image
    QTest::addColumn<bool>("transparent"); // around the board
    QTest::newRow("icon") << QStringLiteral(":/assets/icon.png") << QSize(32, 32) << 16 << true;
    // Qt's reader expands the 4-bit icon to true colour with its mask as alpha.
    QTest::newRow("icon of the program file")
        << QStringLiteral(VMB_ASSETS_DIR "/icon.ico") << QSize(32, 32) << 0 << true;
    QTest::newRow("logo") << QStringLiteral(":/assets/logo.jpg") << QSize(129, 47) << 0 << false;
}

void TestShellAssets::pictures_haveTheirDesignedSizes()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(int, maxColours);
    QFETCH(bool, transparent);
    const QImage image(file);
    QCOMPARE(image.size(), size);
    if (maxColours > 0)
        QVERIFY(image.colorCount() > 0 && image.colorCount() <= maxColours);
    QCOMPARE(image.hasAlphaChannel(), transparent);
    if (transparent)
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(ProgramIcon().pixmap(QSize(32, 32)).size(), QSize(32, 32));
    QCOMPARE(LogoPicture().size(), QSize(129, 47));
}

QTEST_MAIN(TestShellAssets)
#include "tst_shellassets.moc"
