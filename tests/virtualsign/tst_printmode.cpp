#include "commport.h"
#include "processlines.h"
#include "ptypair.h"
#include "portcontrol.h"
#include "recordingmessageboxes.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

// The --print program end to end, as a script drives it: start it, wait for
// its first line, write to the port link, read the decoded lines, stop it.
class TestPrintMode : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void decodesWhatArrivesOnTheLink();
    void claimsNamedPortOnlyWhenFree();
    void refusesArgumentThatIsNoPort();
    void killedSignLeavesNoWayIntoItsTerminal();
};

namespace {

struct StartLine
{
    int port = 0;
    QString device;
    QString link;
};

void Start(QProcess &process, const QStringList &arguments)
{
    process.setProgram(QStringLiteral(VIRTUALSIGN_EXECUTABLE));
    process.setArguments(QStringList {QStringLiteral("--print")} + arguments);
    process.start();
}

std::optional<StartLine> ParseStartLine(const QString &line)
{
    static const QRegularExpression form(QStringLiteral("^port=COM(\\d+) device=(\\S+) link=(.+)$"));
    const QRegularExpressionMatch match = form.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    return StartLine {match.captured(1).toInt(), match.captured(2), match.captured(3)};
}

// One console run: open the port by its link, write, close.
bool WriteAsConsole(const QString &link, const QByteArray &bytes)
{
    const int fd = ::open(QFile::encodeName(link).constData(), O_WRONLY | O_NOCTTY);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, bytes.constData(), bytes.size()) == bytes.size();
    ::close(fd);
    return written;
}

bool EntryExists(const QString &path)
{
    return QFileInfo(path).isSymLink() || QFileInfo::exists(path);
}

// The link leads to the sign's pseudo-terminal only through the sign's own
// process, so that it leads nowhere once the sign is gone.
bool LeadsThroughSign(const StartLine &start, const QProcess &sign)
{
    const QString target = QFileInfo(start.link).symLinkTarget();
    return target.startsWith(QStringLiteral("/proc/%1/fd/").arg(sign.processId()))
        && QFileInfo(start.link).canonicalFilePath() == start.device;
}

} // namespace

void TestPrintMode::decodesWhatArrivesOnTheLink()
{
    const TempConfigHome home;
    QProcess sign;
    Start(sign, {});
    QVERIFY2(sign.waitForStarted(), qPrintable(sign.errorString()));

    const QString first = ReadLine(sign);
    const std::optional<StartLine> start = ParseStartLine(first);
    QVERIFY2(start, qPrintable(first));
    QCOMPARE(start->link, home.path() + QStringLiteral("/VantorMsgBoard/ports/com%1").arg(start->port));
    QVERIFY(LeadsThroughSign(*start, sign));
    // With no port given it takes the lowest that names no serial device.
    QVERIFY(!QFileInfo::exists(QStringLiteral("/dev/ttyS%1").arg(start->port - 1)));
    for (int lower = 1; lower < start->port; ++lower)
        QVERIFY(QFileInfo::exists(QStringLiteral("/dev/ttyS%1").arg(lower - 1)));

    // The first worked example, one byte per write, then a console that
    // restarts, sends garbage and the second worked example.
    const QByteArray hello = QByteArray::fromHex("0D3743320D374237350D374148454C4C4F0D3744");
    for (const char byte : hello)
        QVERIFY(WriteAsConsole(start->link, QByteArray(1, byte)));
    QCOMPARE(ReadLine(sign),
             QStringLiteral("board=7 presentation=2 brightness=75 message=\"HELLO\" "
                            "hex=0D 37 43 32 0D 37 42 37 35 0D 37 41 48 45 4C 4C 4F 0D 37 44"));

    QVERIFY(WriteAsConsole(start->link, QByteArray("??") +
                               QByteArray::fromHex("0D303743350D30374230350D3037414F50454E204E4F570D303744")));
    QCOMPARE(ReadLine(sign), QStringLiteral("error: bytes outside a record hex=3F 3F"));
    QCOMPARE(ReadLine(sign),
             QStringLiteral("board=7 presentation=5 brightness=5 message=\"OPEN NOW\" "
                            "hex=0D 30 37 43 35 0D 30 37 42 30 35 0D 30 37 41 4F 50 45 4E 20 4E 4F 57 0D 30 37 44"));

    sign.terminate();
    QVERIFY(sign.waitForFinished(5000));
    QCOMPARE(sign.exitStatus(), QProcess::NormalExit);
    QCOMPARE(sign.exitCode(), 0);
    QVERIFY(!EntryExists(start->link));
    QVERIFY(sign.readAllStandardError().isEmpty());
}

void TestPrintMode::claimsNamedPortOnlyWhenFree()
{
    const TempConfigHome home;
    QProcess owner;
    Start(owner, {QStringLiteral(" com7 ")});
    QVERIFY(owner.waitForStarted());
    const std::optional<StartLine> start = ParseStartLine(ReadLine(owner));
    QVERIFY(start);
    QCOMPARE(start->port, 7);

    QProcess second;
    Start(second, {QStringLiteral("COM7")});
    QVERIFY(second.waitForFinished(5000));
    QCOMPARE(second.exitCode(), 1);
    QVERIFY(second.readAllStandardOutput().isEmpty());
    QVERIFY(second.readAllStandardError().contains(QFile::encodeName(start->link)));
    QVERIFY(LeadsThroughSign(*start, owner));

    // Ctrl-C ends it as cleanly as SIGTERM.
    ::kill(static_cast<pid_t>(owner.processId()), SIGINT);
    QVERIFY(owner.waitForFinished(5000));
    QCOMPARE(owner.exitCode(), 0);
    QVERIFY(!EntryExists(start->link));
}

void TestPrintMode::refusesArgumentThatIsNoPort()
{
    const TempConfigHome home;
    QProcess sign;
    Start(sign, {QStringLiteral("LPT1")});
    QVERIFY(sign.waitForFinished(5000));
    QCOMPARE(sign.exitCode(), 1);
    QVERIFY(sign.readAllStandardError().contains("LPT1"));
    QVERIFY(!EntryExists(home.path() + QStringLiteral("/VantorMsgBoard/ports")) ||
            QDir(home.path() + QStringLiteral("/VantorMsgBoard/ports")).isEmpty());
}

void TestPrintMode::killedSignLeavesNoWayIntoItsTerminal()
{
    const TempConfigHome home;
    QProcess killed;
    Start(killed, {QStringLiteral("COM9")});
    QVERIFY(killed.waitForStarted());
    const std::optional<StartLine> start = ParseStartLine(ReadLine(killed));
    QVERIFY(start);
    killed.kill();
    QVERIFY(killed.waitForFinished(5000));
    // Its link stays behind, and the pseudo-terminal's number goes to the
    // next terminal opened (the lowest free one, so most likely this one).
    QVERIFY(QFileInfo(start->link).isSymLink());
    PtyPair someoneElses;
    QVERIFY(someoneElses.isValid());

    PortControl control;
    RecordingMessageBoxes boxes;
    const CommPortOutcome outcome = OpenCommPort(QStringLiteral("COM9"), control, boxes);
    QVERIFY(!outcome.open);
    QCOMPARE(boxes.shown.size(), 1);
    QVERIFY2(boxes.shown.first().text.startsWith(
                 QStringLiteral("Comm Port \"COM9\" is not available on this system\r")),
             qPrintable(boxes.shown.first().text));
    QVERIFY(control.DevicePath().isEmpty());

    // A new sign takes the dead one's port over.
    QProcess next;
    Start(next, {QStringLiteral("COM9")});
    QVERIFY(next.waitForStarted());
    const std::optional<StartLine> again = ParseStartLine(ReadLine(next));
    QVERIFY(again);
    QCOMPARE(again->link, start->link);
    QVERIFY(LeadsThroughSign(*again, next));
    next.terminate();
    QVERIFY(next.waitForFinished(5000));
}

QTEST_GUILESS_MAIN(TestPrintMode)
#include "tst_printmode.moc"
