#include "signcommand.h"
#include "windows1252.h"

#include <QTest>

class TestSignCommand : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildsTheFourRecords_data();
    void buildsTheFourRecords();
};

void TestSignCommand::buildsTheFourRecords_data()
{
    QTest::addColumn<QString>("board");
    QTest::addColumn<int>("present");
    QTest::addColumn<QString>("bright");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("worked example: 7, Center, 75, HELLO")
        << "7" << 2 << "75" << "HELLO"
        << QByteArray::fromHex("0D374332" "0D37423735" "0D374148454C4C4F" "0D3744");
    QTest::newRow("worked example: 07, fast crawl, 5, spaced message")
        << "07" << 5 << "5" << " OPEN NOW "
        << QByteArray::fromHex("0D30374335" "0D3037423035" "0D3037414F50454E204E4F57" "0D303744");

    QTest::newRow("empty message ends its record at A")
        << "1" << 0 << "99" << "" << QByteArray("\r1C0\r1B99\r1A\r1D");
    QTest::newRow("message of spaces only")
        << "1" << 0 << "99" << "    " << QByteArray("\r1C0\r1B99\r1A\r1D");
    QTest::newRow("spaces trimmed at the ends only, tabs kept")
        << "1" << 1 << "99" << "  \tA  B\t  " << QByteArray("\r1C1\r1B99\r1A\tA  B\t\r1D");
    QTest::newRow("line feed inside the message kept")
        << "1" << 1 << "99" << "A\nB" << QByteArray("\r1C1\r1B99\r1AA\nB\r1D");

    QTest::newRow("brightness 5 gets a leading zero")
        << "2" << 0 << "5" << "X" << QByteArray("\r2C0\r2B05\r2AX\r2D");
    QTest::newRow("brightness 075 keeps its last two")
        << "2" << 0 << "075" << "X" << QByteArray("\r2C0\r2B75\r2AX\r2D");
    QTest::newRow("empty brightness leaves only the zero")
        << "2" << 0 << "" << "X" << QByteArray("\r2C0\r2B0\r2AX\r2D");
    QTest::newRow("unchecked brightness text goes in as it is")
        << "2" << 0 << "abc" << "X" << QByteArray("\r2C0\r2Bbc\r2AX\r2D");

    QTest::newRow("no presentation selected")
        << "3" << -1 << "10" << "X" << QByteArray("\r3C-1\r3B10\r3AX\r3D");
    QTest::newRow("presentation beyond the list is still plain decimal")
        << "3" << 32767 << "10" << "X" << QByteArray("\r3C32767\r3B10\r3AX\r3D");

    QTest::newRow("board with leading zeros kept")
        << "007" << 0 << "10" << "X" << QByteArray("\r007C0\r007B10\r007AX\r007D");
    QTest::newRow("board ' 1x ' untouched in all four records")
        << " 1x " << 0 << "10" << "X" << QByteArray("\r 1x C0\r 1x B10\r 1x AX\r 1x D");
    QTest::newRow("rejected board abc still sent")
        << "abc" << 0 << "10" << "X" << QByteArray("\rabcC0\rabcB10\rabcAX\rabcD");
    QTest::newRow("empty board")
        << "" << 0 << "10" << "X" << QByteArray("\rC0\rB10\rAX\rD");

    QTest::newRow("Windows-1252 characters one byte each")
        << "1" << 0 << "99" << "é€" << QByteArray("\r1C0\r1B99\r1A\xE9\x80\r1D");
}

void TestSignCommand::buildsTheFourRecords()
{
    QFETCH(QString, board);
    QFETCH(int, present);
    QFETCH(QString, bright);
    QFETCH(QString, message);
    QFETCH(QByteArray, bytes);

    const QString command =
        BuildSignCommand(board, static_cast<std::int16_t>(present), bright, message);

    QCOMPARE(ToWindows1252(command).toHex(' '), bytes.toHex(' '));
}

QTEST_GUILESS_MAIN(TestSignCommand)
#include "tst_signcommand.moc"
