#include "modutils.h"

#include <QTest>

class TestModUtils : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void skipSpaces_data();
    void skipSpaces();
    void digitValue_data();
    void digitValue();
    void parseDecimal_data();
    void parseDecimal();
};

void TestModUtils::skipSpaces_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("expected");

    QTest::newRow("no space") << QStringLiteral("12") << 1 << 1;
    QTest::newRow("two spaces") << QStringLiteral("  12x") << 1 << 3;
    QTest::newRow("from the middle") << QStringLiteral("COM 3") << 4 << 5;
    QTest::newRow("only spaces") << QStringLiteral("   ") << 1 << 4;
    QTest::newRow("empty text") << QString() << 1 << 1;
    QTest::newRow("already at the end") << QStringLiteral("ab") << 3 << 3;
    QTest::newRow("tab is no space") << QStringLiteral("\t 1") << 1 << 1;
    QTest::newRow("no-break space is no space") << QStringLiteral("\u00a01") << 1 << 1;
    QTest::newRow("space after the start is skipped") << QStringLiteral("a  b") << 2 << 4;
}

void TestModUtils::skipSpaces()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, expected);

    const auto position = static_cast<std::int16_t>(from);
    QCOMPARE(int(SkipSpaces(text, position)), expected);
}

void TestModUtils::digitValue_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("expected");

    QTest::newRow("zero") << QStringLiteral("0") << 1 << 0;
    QTest::newRow("nine") << QStringLiteral("9") << 1 << 9;
    QTest::newRow("second character") << QStringLiteral("a7") << 2 << 7;
    QTest::newRow("slash, just below zero") << QStringLiteral("/") << 1 << -1;
    QTest::newRow("colon, just above nine") << QStringLiteral(":") << 1 << -1;
    QTest::newRow("space") << QStringLiteral(" ") << 1 << -1;
    QTest::newRow("minus sign") << QStringLiteral("-") << 1 << -1;
    QTest::newRow("plus sign") << QStringLiteral("+") << 1 << -1;
    QTest::newRow("decimal point") << QStringLiteral(".") << 1 << -1;
    QTest::newRow("arabic-indic three") << QStringLiteral("\u0663") << 1 << -1;
    QTest::newRow("fullwidth five") << QStringLiteral("\uff15") << 1 << -1;
    QTest::newRow("superscript two") << QStringLiteral("\u00b2") << 1 << -1;
}

void TestModUtils::digitValue()
{
    QFETCH(QString, text);
    QFETCH(int, position);
    QFETCH(int, expected);

    QCOMPARE(DigitValue(text, static_cast<std::int16_t>(position)), expected);
}

void TestModUtils::parseDecimal_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("from");
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("stop");

    QTest::newRow("spaces then digits then a letter") << QStringLiteral("  12x") << 1 << 12 << 5;
    QTest::newRow("port number") << QStringLiteral("COM 3") << 4 << 3 << 6;
    QTest::newRow("no digit") << QStringLiteral("abc") << 1 << 0 << 1;
    QTest::newRow("empty text") << QString() << 1 << 0 << 1;
    QTest::newRow("only spaces") << QStringLiteral("  ") << 1 << 0 << 3;
    QTest::newRow("leading zeros") << QStringLiteral("007") << 1 << 7 << 4;
    QTest::newRow("minus sign") << QStringLiteral("-1") << 1 << 0 << 1;
    QTest::newRow("plus sign") << QStringLiteral("+5") << 1 << 0 << 1;
    QTest::newRow("space inside") << QStringLiteral("1 2") << 1 << 1 << 2;
    QTest::newRow("trailing tab") << QStringLiteral("5\t") << 1 << 5 << 2;
    QTest::newRow("largest value") << QStringLiteral("32767") << 1 << 32767 << 6;
    QTest::newRow("one past the largest") << QStringLiteral("32768") << 1 << 3276 << 5;
    QTest::newRow("five nines") << QStringLiteral("99999") << 1 << 9999 << 5;
    QTest::newRow("zeros do not overflow") << QStringLiteral("0000032767") << 1 << 32767 << 11;

    // The position is 16 bits wide: the scan may count the digit at 32767
    // but cannot step past it.
    QTest::newRow("32,766 zeros") << QString(32766, QLatin1Char('0')) << 1 << 0 << 32767;
    QTest::newRow("32,767 zeros") << QString(32767, QLatin1Char('0')) << 1 << 0 << 32767;
    QTest::newRow("40,000 zeros") << QString(40000, QLatin1Char('0')) << 1 << 0 << 32767;
    QTest::newRow("digit at 32767 is counted")
        << QString(32766, QLatin1Char('0')) + QStringLiteral("7") << 1 << 7 << 32767;
    QTest::newRow("40,000 spaces then a digit")
        << QString(40000, QLatin1Char(' ')) + QStringLiteral("1") << 1 << 0 << 32767;
}

void TestModUtils::parseDecimal()
{
    QFETCH(QString, text);
    QFETCH(int, from);
    QFETCH(int, value);
    QFETCH(int, stop);

    auto position = static_cast<std::int16_t>(from);
    QCOMPARE(int(ParseDecimal(text, position)), value);
    QCOMPARE(int(position), stop);
}

QTEST_GUILESS_MAIN(TestModUtils)
#include "tst_modutils.moc"
