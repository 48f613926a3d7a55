#include "commport.h"
#include "recordingmessageboxes.h"
#include "scriptedserialcontrol.h"

#include <QTest>

namespace {

const QString Title = QStringLiteral("VantorMsgBoard");

QString MessageA(const QString &argument)
{
    return QStringLiteral("The command line argument \"") + argument
        + QStringLiteral("\"is not recognized\rPlease specify argument as \"COM#\" alone, "
                         "where # is replaced by\rthe COM port number to use.");
}

QStringList AllSteps(int port)
{
    return {QStringLiteral("SetCommPort(%1)").arg(port),
            QStringLiteral("SetSettings(9600,N,8,1)"), QStringLiteral("Open()")};
}

} // namespace

class TestCommPort : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opensThePortTheArgumentNames_data();
    void opensThePortTheArgumentNames();
    void refusesAnUnrecognisedArgument_data();
    void refusesAnUnrecognisedArgument();
    void reportsAFailedStep_data();
    void reportsAFailedStep();
    void joinsTheCommandLine_data();
    void joinsTheCommandLine();
    void wordsAWriteFailure();
};

void TestCommPort::opensThePortTheArgumentNames_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("port");

    QTest::newRow("lower case") << "com3" << 3;
    QTest::newRow("spaces around") << " COM3 " << 3;
    QTest::newRow("space after COM") << "COM 3" << 3;
    QTest::newRow("leading zeros") << "COM007" << 7;
    QTest::newRow("leading zero, three digits") << "COM0250" << 250;
    QTest::newRow("no argument") << "" << 1;
    QTest::newRow("spaces only") << "   " << 1;
    QTest::newRow("largest 16-bit number") << "COM32767" << 32767;
    QTest::newRow("port 0 is the control's to refuse") << "COM0" << 0;
}

void TestCommPort::opensThePortTheArgumentNames()
{
    QFETCH(QString, argument);
    QFETCH(int, port);
    ScriptedSerialControl control;
    RecordingMessageBoxes boxes;

    const CommPortOutcome outcome = OpenCommPort(argument, control, boxes);

    QVERIFY(outcome.open);
    QCOMPARE(outcome.failure, CommPortFailure::None);
    QCOMPARE(outcome.port, port);
    QCOMPARE(outcome.statusSuffix, QStringLiteral("COM%1").arg(port));
    QCOMPARE(control.calls, AllSteps(port));
    QVERIFY(boxes.shown.isEmpty());
}

void TestCommPort::refusesAnUnrecognisedArgument_data()
{
    QTest::addColumn<QString>("argument");

    QTest::newRow("COM alone") << "COM";
    QTest::newRow("COM and a space") << "COM ";
    QTest::newRow("letter for number") << "COMX";
    QTest::newRow("letter after number") << "COM3X";
    QTest::newRow("negative") << "COM-1";
    QTest::newRow("other device") << "LPT1";
    QTest::newRow("two ports") << "COM3 COM4";
    QTest::newRow("too large for 16 bits") << "COM99999";
    QTest::newRow("one past 16 bits") << "COM32768";
    QTest::newRow("tab is no space") << "\tCOM3";
    QTest::newRow("short") << "CO";
    QTest::newRow("mixed case kept in message") << " cOm3x ";
}

void TestCommPort::refusesAnUnrecognisedArgument()
{
    QFETCH(QString, argument);
    ScriptedSerialControl control;
    RecordingMessageBoxes boxes;

    const CommPortOutcome outcome = OpenCommPort(argument, control, boxes);

    QVERIFY(!outcome.open);
    QCOMPARE(outcome.failure, CommPortFailure::UnrecognisedArgument);
    QCOMPARE(outcome.statusSuffix, QStringLiteral("NONE"));
    QVERIFY2(control.calls.isEmpty(), qPrintable(control.calls.join(u' ')));
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown.first().text, MessageA(argument));
    QCOMPARE(boxes.shown.first().icon, MessageIcon::Stop);
    QCOMPARE(boxes.shown.first().title, Title);
}

void TestCommPort::reportsAFailedStep_data()
{
    QTest::addColumn<QString>("argument");
    QTest::addColumn<ScriptedSerialControl::Step>("failAt");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("message");
    QTest::addColumn<CommPortFailure>("failure");

    const QString noDevice = QStringLiteral("The device /dev/ttyS249 does not exist.");
    QTest::newRow("choosing fails: settings not attempted")
        << "COM0250" << ScriptedSerialControl::Step::Choose << noDevice
        << QStringList {QStringLiteral("SetCommPort(250)")}
        << "Comm Port \"COM250\" is not available on this system\r" + noDevice
        << CommPortFailure::NotAvailable;
    QTest::newRow("settings fail")
        << "COM2" << ScriptedSerialControl::Step::Settings << "bad settings"
        << AllSteps(2).mid(0, 2)
        << "Comm Port \"COM2\" is not available on this system\rbad settings"
        << CommPortFailure::NotAvailable;
    QTest::newRow("opening fails, description of two lines")
        << " com07 " << ScriptedSerialControl::Step::Open << "in use\rclose it"
        << AllSteps(7)
        << "Comm Port \"COM7\" cannot be opened\rin use\rclose it"
        << CommPortFailure::CannotOpen;
}

void TestCommPort::reportsAFailedStep()
{
    QFETCH(QString, argument);
    QFETCH(ScriptedSerialControl::Step, failAt);
    QFETCH(QString, description);
    QFETCH(QStringList, calls);
    QFETCH(QString, message);
    QFETCH(CommPortFailure, failure);
    ScriptedSerialControl control;
    control.failAt = failAt;
    control.failure = description;
    RecordingMessageBoxes boxes;

    const CommPortOutcome outcome = OpenCommPort(argument, control, boxes);

    QVERIFY(!outcome.open);
    QCOMPARE(outcome.failure, failure);
    QCOMPARE(outcome.statusSuffix, QStringLiteral("NONE"));
    QCOMPARE(control.calls, calls);
    QCOMPARE(boxes.shown.size(), 1);
    QCOMPARE(boxes.shown.first().text, message);
    QCOMPARE(boxes.shown.first().icon, MessageIcon::Stop);
    QCOMPARE(boxes.shown.first().title, Title);
}

void TestCommPort::joinsTheCommandLine_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("argument");

    QTest::newRow("program only") << QStringList {"prog"} << "";
    QTest::newRow("nothing at all") << QStringList {} << "";
    QTest::newRow("one argument untouched") << QStringList {"prog", " com3 "} << " com3 ";
    QTest::newRow("split by the shell") << QStringList {"prog", "COM", "3"} << "COM 3";
    QTest::newRow("empty arguments keep their place") << QStringList {"prog", "", "x"} << " x";
}

void TestCommPort::joinsTheCommandLine()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, argument);

    QCOMPARE(CommandLineArgument(arguments), argument);
}

void TestCommPort::wordsAWriteFailure()
{
    QCOMPARE(WriteFailureMessage(12, QStringLiteral("gone\rreconnect")),
             QStringLiteral("Comm Port \"COM12\" cannot be written to\rgone\rreconnect"));
}

QTEST_GUILESS_MAIN(TestCommPort)
#include "tst_commport.moc"
