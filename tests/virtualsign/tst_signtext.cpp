#include "byteformat.h"
#include "windows1252.h"

#include <QTest>

// The sign decodes the line with the system's Windows-1252 converter, the
// console encodes with its own table: the two must agree on every byte, or an
// end-to-end test would show a wrong character as right.
class TestSignText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesEveryByteAsTheConsoleReadsIt_data();
    void decodesEveryByteAsTheConsoleReadsIt();
    void decodesWhatTheConsoleEncodes();
    void keepsTheLengthOfARecord();
};

void TestSignText::decodesEveryByteAsTheConsoleReadsIt_data()
{
    QTest::addColumn<QByteArray>("byte");
    for (int value = 0; value < 256; ++value) {
        const QByteArray byte(1, static_cast<char>(value));
        QTest::newRow(qPrintable(QStringLiteral("0x%1").arg(value, 2, 16, QLatin1Char('0')))) << byte;
    }
}

void TestSignText::decodesEveryByteAsTheConsoleReadsIt()
{
    QFETCH(QByteArray, byte);

    const QString sign = SignLineText(byte);

    QCOMPARE(sign.size(), 1);
    QCOMPARE(sign, FromWindows1252(byte));
}

void TestSignText::decodesWhatTheConsoleEncodes()
{
    // Every character of the Basic Multilingual Plane that the console's
    // encoder gives a byte of its own (not the '?' of a missing character)
    // must come back as itself on the sign.
    int mapped = 0;
    QStringList mismatches;
    for (char32_t code = 0; code <= 0xFFFF; ++code) {
        const QChar character(static_cast<char16_t>(code));
        if (character.isSurrogate())
            continue;
        const QByteArray encoded = ToWindows1252(QString(character));
        QCOMPARE(encoded.size(), 1);
        if (encoded == "?" && code != u'?')
            continue;
        ++mapped;
        if (SignLineText(encoded) != QString(character))
            mismatches.append(QStringLiteral("U+%1").arg(quint32(code), 4, 16, QLatin1Char('0')));
    }
    QVERIFY2(mismatches.isEmpty(), qPrintable(mismatches.join(u' ')));
    QCOMPARE(mapped, 256);  // one character per byte value, no more
}

void TestSignText::keepsTheLengthOfARecord()
{
    // No byte is dropped or merged, even in runs of undefined bytes and
    // bytes that would start a multi-byte character in other encodings.
    const QByteArray bytes("\x81\x8D\x8F\x90\x9D\xC3\xA9\xE2\x82\xAC\xFF\x00\x80", 13);

    QCOMPARE(SignLineText(bytes).size(), bytes.size());
    QCOMPARE(SignLineText(bytes), FromWindows1252(bytes));
}

QTEST_GUILESS_MAIN(TestSignText)
#include "tst_signtext.moc"
