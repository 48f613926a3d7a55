#include "windows1252.h"

#include <QTest>

class TestWindows1252 : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void encodes_data();
    void encodes();
    void everyByteRoundTrips();
};

void TestWindows1252::encodes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ASCII and CR") << QStringLiteral("Az 09\r~") << QByteArray("Az 09\r~");
    QTest::newRow("Latin-1 range") << QStringLiteral("\u00A0é\u00FF") << QByteArray("\xA0\xE9\xFF");
    QTest::newRow("euro and the 0x80 row")
        << QStringLiteral("€‚ƒ„…†‡ˆ‰Š‹ŒŽ") << QByteArray::fromHex("808283848586878889" "8A8B8C8E");
    QTest::newRow("the 0x90 row")
        << QStringLiteral("‘’“”•–—˜™š›œžŸ") << QByteArray::fromHex("9192939495969798999A9B9C9E9F");
    QTest::newRow("undefined bytes as their C1 controls")
        << QStringLiteral("\u0081\u008D\u008F\u0090\u009D") << QByteArray::fromHex("818D8F909D");
    QTest::newRow("C1 control with a code-page character on its byte")
        << QStringLiteral("\u0080") << QByteArray("?");
    QTest::newRow("CJK") << QStringLiteral("中") << QByteArray("?");
    QTest::newRow("surrogate pair is one character")
        << QStringLiteral("a\U0001F600b") << QByteArray("a?b");
    QTest::newRow("lone high surrogate")
        << QString(QChar(0xD83D)) + QLatin1Char('x') << QByteArray("?x");
    QTest::newRow("lone low surrogate") << QString(QChar(0xDE00)) << QByteArray("?");
    QTest::newRow("high surrogate at the end") << QString(QChar(0xD83D)) << QByteArray("?");
    QTest::newRow("empty") << QString() << QByteArray();
}

void TestWindows1252::encodes()
{
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);

    QCOMPARE(ToWindows1252(text).toHex(' '), bytes.toHex(' '));
}

void TestWindows1252::everyByteRoundTrips()
{
    QByteArray all;
    for (int byte = 0; byte < 256; ++byte)
        all.append(char(byte));

    const QString text = FromWindows1252(all);

    QCOMPARE(text.size(), 256);
    QCOMPARE(text.at(0x80), QChar(0x20AC));
    QCOMPARE(text.at(0x9F), QChar(0x0178));
    QCOMPARE(text.at(0xE9), QChar(0x00E9));
    QCOMPARE(ToWindows1252(text), all);
}

QTEST_GUILESS_MAIN(TestWindows1252)
#include "tst_windows1252.moc"
