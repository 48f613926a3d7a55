#include "commandline.h"
#include "exitstatus.h"
#include "fieldtext.h"
#include "fieldcheck.h"
#include "inputlines.h"
#include "presentation.h"
#include "signfields.h"

#include <QTest>

// The command line, the field checks and the input lines of vantor-sign,
// without a port.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void readsSendRequests_data();
    void readsSendRequests();
    void refusesWrongCommandLines_data();
    void refusesWrongCommandLines();
    void readsLinkRequests_data();
    void readsLinkRequests();
    void answersHelpAndVersion_data();
    void answersHelpAndVersion();
    void namesPresentations_data();
    void namesPresentations();
    void checksFieldsAsTheConsole_data();
    void checksFieldsAsTheConsole();
    void takesMessagesFromInputLines_data();
    void takesMessagesFromInputLines();
    void readsWholeLinesFromAStream_data();
    void readsWholeLinesFromAStream();
};

namespace {

ParsedCommandLine Parse(const QStringList &arguments)
{
    return ParseCommandLine(QStringList {QStringLiteral("vantor-sign")} + arguments);
}

} // namespace

void TestCommandLine::readsSendRequests_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("board");
    QTest::addColumn<QString>("bright");
    QTest::addColumn<int>("present");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("fromInput");

    QTest::newRow("defaults are the console's restore defaults")
        << QStringList {"send", "HELLO"} << "" << "0" << "99" << 0 << "HELLO" << false;
    QTest::newRow("every option, texts kept as typed")
        << QStringList {"send", "--port", " com 3 ", "--board", "007", "--brightness", " 5",
                        "--presentation", "FAST", "  OPEN NOW "}
        << " com 3 " << "007" << " 5" << 5 << "  OPEN NOW " << false;
    QTest::newRow("option=value form, index as digit")
        << QStringList {"send", "--board=7", "--presentation=2", "x"} << "" << "7" << "99" << 2 << "x" << false;
    QTest::newRow("options after the message")
        << QStringList {"send", "x", "--board", "12"} << "" << "12" << "99" << 0 << "x" << false;
    QTest::newRow("dash reads standard input")
        << QStringList {"send", "--board", "3", "-"} << "" << "3" << "99" << 0 << "" << true;
    QTest::newRow("message starting with a dash after --")
        << QStringList {"send", "--", "-5 degrees"} << "" << "0" << "99" << 0 << "-5 degrees" << false;
    QTest::newRow("empty message")
        << QStringList {"send", ""} << "" << "0" << "99" << 0 << "" << false;
    QTest::newRow("refusable values are left for the field checks")
        << QStringList {"send", "--board", "ab", "--brightness", "100", "x"} << "" << "ab" << "100" << 0
        << "x" << false;
}

void TestCommandLine::readsSendRequests()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, port);
    QFETCH(QString, board);
    QFETCH(QString, bright);
    QFETCH(int, present);
    QFETCH(QString, message);
    QFETCH(bool, fromInput);

    const ParsedCommandLine parsed = Parse(arguments);

    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    QCOMPARE(parsed.command, ToolCommand::Send);
    QCOMPARE(parsed.send.portArgument, port);
    QCOMPARE(parsed.send.fields.boardNum, board);
    QCOMPARE(parsed.send.fields.bright, bright);
    QCOMPARE(parsed.send.fields.present, present);
    QCOMPARE(parsed.send.message, message);
    QCOMPARE(parsed.send.messagesFromInput, fromInput);
}

void TestCommandLine::refusesWrongCommandLines_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("errorPart");

    QTest::newRow("nothing") << QStringList {} << "no command";
    QTest::newRow("unknown command") << QStringList {"show", "x"} << "show";
    QTest::newRow("option before the command") << QStringList {"--board", "3", "send", "x"} << "board";
    QTest::newRow("send without message") << QStringList {"send", "--board", "3"} << "MESSAGE";
    QTest::newRow("send with two messages") << QStringList {"send", "a", "b"} << "MESSAGE";
    QTest::newRow("unknown send option") << QStringList {"send", "--speed", "3", "x"} << "speed";
    QTest::newRow("option without its value") << QStringList {"send", "x", "--board"} << "board";
    QTest::newRow("presentation past the list") << QStringList {"send", "--presentation", "6", "x"} << "6";
    QTest::newRow("presentation as two digits") << QStringList {"send", "--presentation", "05", "x"} << "05";
    QTest::newRow("presentation -1") << QStringList {"send", "--presentation=-1", "x"} << "-1";
    QTest::newRow("presentation misspelt") << QStringList {"send", "--presentation", "centre", "x"}
                                            << "centre";
    QTest::newRow("ports with an argument") << QStringList {"ports", "COM1"} << "no arguments";
    QTest::newRow("link without device") << QStringList {"link", "COM3"} << "DEVICE";
    QTest::newRow("link to COM0") << QStringList {"link", "COM0", "/dev/null"} << "COM0";
    QTest::newRow("link to no port") << QStringList {"link", "LPT1", "/dev/null"} << "LPT1";
    QTest::newRow("link to an empty port") << QStringList {"link", "", "/dev/null"} << "names no port";
    QTest::newRow("unlink of COM99999") << QStringList {"unlink", "COM99999"} << "COM99999";
}

void TestCommandLine::refusesWrongCommandLines()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, errorPart);

    const ParsedCommandLine parsed = Parse(arguments);

    QVERIFY2(parsed.error.contains(errorPart), qPrintable(parsed.error));
}

void TestCommandLine::readsLinkRequests_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<ToolCommand>("command");
    QTest::addColumn<int>("port");
    QTest::addColumn<QString>("device");
    QTest::addColumn<bool>("force");

    QTest::newRow("link") << QStringList {"link", "COM3", "/dev/ttyUSB0"} << ToolCommand::Link << 3
                          << "/dev/ttyUSB0" << false;
    QTest::newRow("link, forced, console's spelling of the port")
        << QStringList {"link", "--force", " com 007 ", "dev"} << ToolCommand::Link << 7 << "dev" << true;
    QTest::newRow("largest port") << QStringList {"unlink", "COM32767"} << ToolCommand::Unlink << 32767 << ""
                                  << false;
    // Only to remove a link a running virtual sign holds.
    QTest::newRow("unlink, forced") << QStringList {"unlink", "--force", "COM3"} << ToolCommand::Unlink << 3 << ""
                                    << true;
}

void TestCommandLine::readsLinkRequests()
{
    QFETCH(QStringList, arguments);
    QFETCH(ToolCommand, command);
    QFETCH(int, port);
    QFETCH(QString, device);
    QFETCH(bool, force);

    const ParsedCommandLine parsed = Parse(arguments);

    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    QCOMPARE(parsed.command, command);
    QCOMPARE(parsed.link.port, port);
    QCOMPARE(parsed.link.device, device);
    QCOMPARE(parsed.link.force, force);
}

void TestCommandLine::answersHelpAndVersion_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<ToolCommand>("command");
    QTest::addColumn<QStringList>("helpParts");

    const QString exitStatus = QString::number(ExitStatus::TempFail);
    QTest::newRow("--help lists the commands and statuses")
        << QStringList {"--help"} << ToolCommand::Help
        << QStringList {"send", "ports", "unlink", exitStatus};
    QTest::newRow("send --help names its options")
        << QStringList {"send", "--help"} << ToolCommand::Help
        << QStringList {"--presentation", "left|right|center|slow|medium|fast", "--brightness", exitStatus};
    QTest::newRow("link --help names --force")
        << QStringList {"link", "-h"} << ToolCommand::Help << QStringList {"--force", "by-id"};
    QTest::newRow("--version") << QStringList {"--version"} << ToolCommand::Version << QStringList {};
}

void TestCommandLine::answersHelpAndVersion()
{
    QFETCH(QStringList, arguments);
    QFETCH(ToolCommand, command);
    QFETCH(QStringList, helpParts);

    const ParsedCommandLine parsed = Parse(arguments);

    QVERIFY2(parsed.error.isEmpty(), qPrintable(parsed.error));
    QCOMPARE(parsed.command, command);
    for (const QString &part : helpParts)
        QVERIFY2(parsed.helpText.contains(part), qPrintable(part));
}

void TestCommandLine::namesPresentations_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("index");  // -2: no presentation

    QTest::newRow("left") << "left" << 0;
    QTest::newRow("Right") << "Right" << 1;
    QTest::newRow("CENTER") << "CENTER" << 2;
    QTest::newRow("slow") << "slow" << 3;
    QTest::newRow("medium") << "medium" << 4;
    QTest::newRow("fast") << "fast" << 5;
    QTest::newRow("0") << "0" << 0;
    QTest::newRow("5") << "5" << 5;
    QTest::newRow("6") << "6" << -2;
    QTest::newRow("empty") << "" << -2;
    QTest::newRow("spaced") << " left" << -2;
    QTest::newRow("prefix") << "lef" << -2;
    QTest::newRow("slash") << "/" << -2;
}

void TestCommandLine::namesPresentations()
{
    QFETCH(QString, name);
    QFETCH(int, index);

    const std::optional<std::int16_t> found = PresentationFromName(name);

    QCOMPARE(found ? int(*found) : -2, index);
}

void TestCommandLine::checksFieldsAsTheConsole_data()
{
    QTest::addColumn<QString>("board");
    QTest::addColumn<QString>("bright");
    QTest::addColumn<QString>("keptBoard");
    QTest::addColumn<QString>("keptBright");
    QTest::addColumn<QStringList>("messages");

    const QString badBoard = RejectionMessage(DecimalField::BoardNum);
    const QString badBright = RejectionMessage(DecimalField::Bright);
    QTest::newRow("trimmed, zeros kept") << " 007 " << "5 " << "007" << "5" << QStringList {};
    QTest::newRow("empty becomes default") << "" << "  " << "0" << "99" << QStringList {};
    QTest::newRow("edges accepted") << "99" << "0" << "99" << "0" << QStringList {};
    QTest::newRow("line break at the end is a space") << "12\n" << "\r\n3" << "12" << "3" << QStringList {};
    QTest::newRow("board 100") << "100" << "99" << "100" << "99" << QStringList {badBoard};
    QTest::newRow("brightness with a tab") << "1" << "5\t" << "1" << "5\t" << QStringList {badBright};
    QTest::newRow("negative brightness") << "1" << "-1" << "1" << "-1" << QStringList {badBright};
    QTest::newRow("line break inside") << "1\n2" << "1" << "1 2" << "1" << QStringList {badBoard};
    QTest::newRow("both, board first") << "x" << "32768" << "x" << "32768"
                                       << QStringList {badBoard, badBright};
}

void TestCommandLine::checksFieldsAsTheConsole()
{
    QFETCH(QString, board);
    QFETCH(QString, bright);
    QFETCH(QString, keptBoard);
    QFETCH(QString, keptBright);
    QFETCH(QStringList, messages);
    SignFields fields {board, bright, 0};

    const QStringList refusals = CheckSignFields(fields);

    QCOMPARE(refusals, messages);
    QCOMPARE(fields.boardNum, keptBoard);
    QCOMPARE(fields.bright, keptBright);
}

void TestCommandLine::takesMessagesFromInputLines_data()
{
    QTest::addColumn<QByteArray>("line");
    QTest::addColumn<bool>("sends");
    QTest::addColumn<QString>("message");

    QTest::newRow("LF end") << QByteArray("HELLO\n") << true << "HELLO";
    QTest::newRow("CR LF end") << QByteArray("HELLO\r\n") << true << "HELLO";
    QTest::newRow("last line without end") << QByteArray("HELLO") << true << "HELLO";
    QTest::newRow("spaces kept for the builder") << QByteArray(" A B \n") << true << " A B ";
    QTest::newRow("lone CR inside kept for the mend") << QByteArray("A\rB\n") << true << "A\rB";
    QTest::newRow("UTF-8") << QByteArray("Caf\xc3\xa9 \xe2\x82\xac\n") << true << "Café €";
    QTest::newRow("empty line") << QByteArray("\n") << false << "";
    QTest::newRow("empty CR LF line") << QByteArray("\r\n") << false << "";
    QTest::newRow("only spaces") << QByteArray("   \n") << false << "";
    QTest::newRow("a tab is text") << QByteArray("\t\n") << true << "\t";
    QTest::newRow("CR alone is text") << QByteArray("\r\r\n") << true << "\r";
}

void TestCommandLine::takesMessagesFromInputLines()
{
    QFETCH(QByteArray, line);
    QFETCH(bool, sends);
    QFETCH(QString, message);

    const std::optional<QString> taken = MessageFromInputLine(line);

    QCOMPARE(taken.has_value(), sends);
    if (sends)
        QCOMPARE(*taken, message);
}

void TestCommandLine::readsWholeLinesFromAStream_data()
{
    QTest::addColumn<QByteArray>("text");
    // Each line as read; an over-long one as "#" and its number.
    QTest::addColumn<QList<QByteArray>>("lines");

    const QByteArray full(FieldTextLimit, 'x');
    QTest::newRow("long line kept whole")
        << "one\n\n" + QByteArray(100000, 'x') + "\nlast"
        << QList<QByteArray> {"one\n", "\n", QByteArray(100000, 'x') + '\n', "last"};
    QTest::newRow("a full field with CR LF")
        << full + "\r\nnext\n" << QList<QByteArray> {full + "\r\n", "next\n"};
    QTest::newRow("a full field without end") << full << QList<QByteArray> {full};
    QTest::newRow("one over, the next goes on")
        << "a\n" + full + "y\nb\n" << QList<QByteArray> {"a\n", "#2", "b\n"};
    QTest::newRow("one over, CR LF end") << full + "y\r\nb" << QList<QByteArray> {"#1", "b"};
    QTest::newRow("one over, no end") << full + "y" << QList<QByteArray> {"#1"};
    QTest::newRow("many times over, two in a row")
        << QByteArray(3 * FieldTextLimit, 'z') + '\n' + full + "yy\nc\n"
        << QList<QByteArray> {"#1", "#2", "c\n"};
}

void TestCommandLine::readsWholeLinesFromAStream()
{
    QFETCH(QByteArray, text);
    QFETCH(QList<QByteArray>, lines);

    std::FILE *const stream = ::fmemopen(text.data(), text.size(), "r");
    QVERIFY(stream);
    QList<QByteArray> read;
    {
        InputLines input(stream);
        while (const std::optional<InputLine> line = input.next()) {
            read.append(line->overLong ? '#' + QByteArray::number(line->number) : line->bytes);
            QCOMPARE(line->number, read.size());
        }
        QVERIFY(!input.failed());
    }
    std::fclose(stream);

    QCOMPARE(read, lines);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
