#include "versionline.h"

#include <QtTest>

class TestVersionLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void versionLine_data();
    void versionLine();
};

void TestVersionLine::versionLine_data()
{
    QTest::addColumn<int>("major");
    QTest::addColumn<int>("minor");
    QTest::addColumn<QString>("expected");
    // The revision is no input: 1.0.7 reads like 1.0.0. 1.1 and 1.10 stay apart.
    QTest::newRow("1.0.0 and 1.0.7") << 1 << 0 << QStringLiteral("Version 1.0");
    QTest::newRow("1.1") << 1 << 1 << QStringLiteral("Version 1.1");
    QTest::newRow("1.10") << 1 << 10 << QStringLiteral("Version 1.10");
    QTest::newRow("1.12") << 1 << 12 << QStringLiteral("Version 1.12");
    QTest::newRow("two-digit major") << 10 << 5 << QStringLiteral("Version 10.5");
    QTest::newRow("largest 16-bit") << 32767 << 32767 << QStringLiteral("Version 32767.32767");
}

void TestVersionLine::versionLine()
{
    QFETCH(int, major);
    QFETCH(int, minor);
    QFETCH(QString, expected);
    QCOMPARE(VersionLine(major, minor), expected);
}

QTEST_GUILESS_MAIN(TestVersionLine)
#include "tst_versionline.moc"
