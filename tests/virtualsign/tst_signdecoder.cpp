#include "printmode.h"
#include "signdecoder.h"

#include <QTest>

// The decoder is checked through the documented output line of each item:
// that line is what scripts rely on, and it shows every decoded field.
class TestSignDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesAnySplit_data();
    void decodesAnySplit();
    void keepsPartialRecordsBetweenFeeds();
    void reportsBadFinalRecordAtOnce();
    void keepsNoMoreThanARecord_data();
    void keepsNoMoreThanARecord();
};

namespace {

QStringList Lines(const QList<DecodedItem> &items)
{
    QStringList lines;
    for (const DecodedItem &item : items)
        lines.append(DecodedLine(item));
    return lines;
}

QStringList DecodeInChunks(const QByteArray &bytes, qsizetype chunkSize)
{
    SignDecoder decoder;
    QList<DecodedItem> items;
    for (qsizetype at = 0; at < bytes.size(); at += chunkSize)
        items.append(decoder.feed(bytes.mid(at, chunkSize)));
    return Lines(items);
}

// Each item in short: a string's board and message length, or an error's
// reason and the number of bytes it kept.
QStringList Shapes(const QList<DecodedItem> &items)
{
    QStringList shapes;
    for (const DecodedItem &item : items) {
        if (const auto *command = std::get_if<SignCommand>(&item))
            shapes.append(QStringLiteral("board %1, %2 characters").arg(command->board).arg(command->message->size()));
        else
            shapes.append(QStringLiteral("%1, %2 bytes kept")
                              .arg(std::get<DecodeError>(item).reason)
                              .arg(std::get<DecodeError>(item).bytes.size()));
    }
    return shapes;
}

} // namespace

void TestSignDecoder::decodesAnySplit_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("first worked example")
        << QByteArray::fromHex("0D3743320D374237350D374148454C4C4F0D3744")
        << QStringList {"board=7 presentation=2 brightness=75 message=\"HELLO\" "
                        "hex=0D 37 43 32 0D 37 42 37 35 0D 37 41 48 45 4C 4C 4F 0D 37 44"};
    QTest::newRow("second worked example, board with a leading zero")
        << QByteArray::fromHex("0D303743350D30374230350D3037414F50454E204E4F570D303744")
        << QStringList {"board=7 presentation=5 brightness=5 message=\"OPEN NOW\" "
                        "hex=0D 30 37 43 35 0D 30 37 42 30 35 0D 30 37 41 4F 50 45 4E 20 4E 4F 57 0D 30 37 44"};
    QTest::newRow("empty message")
        << QByteArray("\r3C0\r3B99\r3A\r3D")
        << QStringList {"board=3 presentation=0 brightness=99 message=\"\" hex=0D 33 43 30 0D 33 42 39 39 0D 33 41 0D 33 44"};
    QTest::newRow("no presentation selected, board 0, brightness 00")
        << QByteArray("\r0C-1\r0B00\r0AX\r0D")
        << QStringList {"board=0 presentation=-1 brightness=0 message=\"X\" hex=0D 30 43 2D 31 0D 30 42 30 30 0D 30 41 58 0D 30 44"};
    QTest::newRow("board 007 and board 99")
        << QByteArray("\r007C1\r007B10\r007AA\r007D\r99C4\r99B99\r99AB\r99D")
        << QStringList {"board=7 presentation=1 brightness=10 message=\"A\" hex=0D 30 30 37 43 31 0D 30 30 37 42 31 30 0D 30 30 37 41 41 0D 30 30 37 44",
                        "board=99 presentation=4 brightness=99 message=\"B\" hex=0D 39 39 43 34 0D 39 39 42 39 39 0D 39 39 41 42 0D 39 39 44"};
    QTest::newRow("garbage between strings")
        << QByteArray("\r1C0\r1B50\r1AHI\r1Dxyz\r2C3\r2B10\r2AYO\r2D")
        << QStringList {"board=1 presentation=0 brightness=50 message=\"HI\" hex=0D 31 43 30 0D 31 42 35 30 0D 31 41 48 49 0D 31 44",
                        "error: bytes outside a record hex=78 79 7A",
                        "board=2 presentation=3 brightness=10 message=\"YO\" hex=0D 32 43 33 0D 32 42 31 30 0D 32 41 59 4F 0D 32 44"};
    QTest::newRow("stray bytes before the first record")
        << QByteArray("\n\x00Z\r4D", 6)
        << QStringList {"error: bytes outside a record hex=0A 00 5A",
                        "board=4 presentation=- brightness=- message=- hex=0D 34 44"};
    QTest::newRow("board that is not a number, as an unaccepted field sends it")
        << QByteArray("\rabC2\rabB75\rabAHI\rabD")
        << QStringList {"error: board number is not a number hex=0D 61 62 43 32",
                        "error: board number is not a number hex=0D 61 62 42 37 35",
                        "error: board number is not a number hex=0D 61 62 41 48 49",
                        "error: board number is not a number hex=0D 61 62 44"};
    QTest::newRow("unknown letter skipped, the rest of the string kept")
        << QByteArray("\r7C2\r7XFOO\r7B75\r7aHI\r7AHI\r7D")
        << QStringList {"error: unknown command letter 'X' hex=0D 37 58 46 4F 4F",
                        "error: unknown command letter 'a' hex=0D 37 61 48 49",
                        "board=7 presentation=2 brightness=75 message=\"HI\" hex=0D 37 43 32 0D 37 42 37 35 0D 37 41 48 49 0D 37 44"};
    QTest::newRow("control byte as command letter")
        << QByteArray("\r7\x01\r7D")
        << QStringList {"error: unknown command letter byte 0x01 hex=0D 37 01",
                        "board=7 presentation=- brightness=- message=- hex=0D 37 44"};
    QTest::newRow("arguments out of form")
        << QByteArray("\r7C9\r7C\r7Cx\r7B5\r7B075\r7Bab\r7\r\r7D")
        << QStringList {"error: presentation out of range -1 to 5 hex=0D 37 43 39",
                        "error: presentation is not a number hex=0D 37 43",
                        "error: presentation is not a number hex=0D 37 43 78",
                        "error: brightness is not two digits hex=0D 37 42 35",
                        "error: brightness is not two digits hex=0D 37 42 30 37 35",
                        "error: brightness is not two digits hex=0D 37 42 61 62",
                        "error: record has no command letter hex=0D 37",
                        "error: empty record hex=0D",
                        "board=7 presentation=- brightness=- message=- hex=0D 37 44"};
    QTest::newRow("board out of range")
        << QByteArray("\r100C2\r100D\r5D")
        << QStringList {"error: board number out of range 0 to 99 hex=0D 31 30 30 43 32",
                        "error: board number out of range 0 to 99 hex=0D 31 30 30 44",
                        "board=5 presentation=- brightness=- message=- hex=0D 35 44"};
    QTest::newRow("a D inside the message is text")
        << QByteArray("\r7ADAY D\r7D")
        << QStringList {"board=7 presentation=- brightness=- message=\"DAY D\" hex=0D 37 41 44 41 59 20 44 0D 37 44"};
    QTest::newRow("interleaved boards each keep their own records")
        << QByteArray("\r1C0\r2C1\r1AONE\r2ATWO\r2D\r1D")
        << QStringList {"board=2 presentation=1 brightness=- message=\"TWO\" hex=0D 32 43 31 0D 32 41 54 57 4F 0D 32 44",
                        "board=1 presentation=0 brightness=- message=\"ONE\" hex=0D 31 43 30 0D 31 41 4F 4E 45 0D 31 44"};
    QTest::newRow("later record of a kind wins")
        << QByteArray("\r1AOLD\r1ANEW\r1D")
        << QStringList {"board=1 presentation=- brightness=- message=\"NEW\" hex=0D 31 41 4F 4C 44 0D 31 41 4E 45 57 0D 31 44"};
    QTest::newRow("8-bit code page and escaped characters")
        << QByteArray("\r1A\x80 5 \"q\" \\ \xE9\t\r1D")
        << QStringList {QStringLiteral("board=1 presentation=- brightness=- message=\"€ 5 \\\"q\\\" \\\\ é\\t\" "
                                       "hex=0D 31 41 80 20 35 20 22 71 22 20 5C 20 E9 09 0D 31 44")};
    QTest::newRow("nothing") << QByteArray() << QStringList();
}

void TestSignDecoder::decodesAnySplit()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    QCOMPARE(DecodeInChunks(bytes, qMax<qsizetype>(1, bytes.size())), expected);
    QCOMPARE(DecodeInChunks(bytes, 1), expected);
    QCOMPARE(DecodeInChunks(bytes, 3), expected);
}

void TestSignDecoder::keepsPartialRecordsBetweenFeeds()
{
    SignDecoder decoder;
    QVERIFY(decoder.feed("\r7C2\r7B7").isEmpty());
    QVERIFY(decoder.feed("5\r7AHEL").isEmpty());
    const QList<DecodedItem> done = decoder.feed("LO\r7D");
    QCOMPARE(done.size(), 1);
    const auto *command = std::get_if<SignCommand>(&done.first());
    QVERIFY(command);
    QCOMPARE(command->board, 7);
    QCOMPARE(command->presentation, std::optional<int>(2));
    QCOMPARE(command->brightness, std::optional<int>(75));
    QCOMPARE(command->message, std::optional<QString>(QStringLiteral("HELLO")));

    // A completed string leaves nothing behind for the next one.
    const QList<DecodedItem> next = decoder.feed("\r7D");
    QCOMPARE(next.size(), 1);
    QCOMPARE(std::get<SignCommand>(next.first()).message, std::nullopt);
}

void TestSignDecoder::reportsBadFinalRecordAtOnce()
{
    // Nothing follows a final record, so its error cannot wait for a CR.
    SignDecoder decoder;
    const QList<DecodedItem> items = decoder.feed("\r1x2D");
    QCOMPARE(items.size(), 1);
    QCOMPARE(std::get<DecodeError>(items.first()).reason, QStringLiteral("unknown command letter 'x'"));
    QCOMPARE(std::get<DecodeError>(decoder.feed("\rabD").value(0)).bytes, QByteArray("\rabD"));

    // Trailing bytes after a final record are only known to be stray once
    // the next record begins.
    QVERIFY(decoder.feed("\r4Djunk").size() == 1);
    const QList<DecodedItem> later = decoder.feed("\r");
    QCOMPARE(later.size(), 1);
    QCOMPARE(std::get<DecodeError>(later.first()).bytes, QByteArray("junk"));
}

void TestSignDecoder::keepsNoMoreThanARecord_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QStringList>("expected");

    constexpr qsizetype Limit = SignDecoder::RecordLimit;
    const QString overLong = QStringLiteral("record longer than the sign takes (%1 more bytes dropped), %2 bytes kept");
    const QString stray = QStringLiteral("bytes outside a record (%1 more dropped), %2 bytes kept");
    // A "D" inside a message is text, however many there are.
    QTest::newRow("a full field of D")
        << "\r1A" + QByteArray(FieldTextLimit, 'D') + "\r1D"
        << QStringList {QStringLiteral("board 1, %1 characters").arg(FieldTextLimit)};
    QTest::newRow("a record at the limit")
        << "\r1A" + QByteArray(Limit - 3, 'x') + "\r1D"
        << QStringList {QStringLiteral("board 1, %1 characters").arg(Limit - 3)};
    QTest::newRow("a record one byte over, then a string")
        << "\r1A" + QByteArray(Limit - 2, 'x') + "\r2AOK\r2D"
        << QStringList {overLong.arg(1).arg(Limit), "board 2, 2 characters"};
    QTest::newRow("a flood with no CR, then a string")
        << QByteArray(3 * Limit, 'z') + "\r2AOK\r2D"
        << QStringList {stray.arg(2 * Limit).arg(Limit), "board 2, 2 characters"};
    QTest::newRow("an over-long record ended by its own D")
        << "\r1" + QByteArray(Limit, '7') + "D\r2AOK\r2D"
        << QStringList {overLong.arg(3).arg(Limit), "board 2, 2 characters"};
}

void TestSignDecoder::keepsNoMoreThanARecord()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QStringList, expected);

    SignDecoder decoder;
    QList<DecodedItem> items;
    for (qsizetype at = 0; at < bytes.size(); at += 64 * 1024)
        items.append(decoder.feed(bytes.mid(at, 64 * 1024)));

    QCOMPARE(Shapes(items), expected);
}

QTEST_GUILESS_MAIN(TestSignDecoder)
#include "tst_signdecoder.moc"
