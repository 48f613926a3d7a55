#include "commport.h"
#include "exitstatus.h"
#include "fieldcheck.h"
#include "fieldtext.h"
#include "hostileserver.h"
#include "inputlines.h"
#include "linkedpty.h"
#include "messageboxes.h"
#include "portfailure.h"
#include "portnaming.h"
#include "portcontrol.h"
#include "signcommand.h"
#include "throttledreader.h"
#include "windows1252.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSerialPort>
#include <QTest>

#include <csignal>
#include <optional>

#include <sys/inotify.h>
#include <unistd.h>

// vantor-sign as a script runs it, against a pseudo-terminal linked as a
// port in a private config home: the bytes on the line, the exit statuses,
// the messages, and the lock it shares with the console.
class TestProgram : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();

    void runsToStatusMessageAndBytes_data();
    void runsToStatusMessageAndBytes();
    void endsHonestly_data();
    void endsHonestly();
    void failsWhenTheServerEndsFirst_data();
    void failsWhenTheServerEndsFirst();
    void sendsEachInputLineOverOneOpen();
    void skipsAnOverLongInputLine();
    void refusesAPortHeldByTheConsole();
    void holdsThePortAgainstTheConsole();
    void freesThePortWhenStopped();
    void listsALinkedPseudoTerminal();
    void linksAndUnlinks();

private:
    // The sign's line, linked as LinkedPort afresh for each case.
    std::optional<LinkedPty> m_linked;
};

namespace {

constexpr int LinkedPort = 7;

struct Finished
{
    int status = -1;
    QByteArray out;
    QByteArray err;
};

void Start(QProcess &process, const QStringList &arguments)
{
    process.setProgram(QStringLiteral(VANTOR_SIGN_EXECUTABLE));
    process.setArguments(arguments);
    process.start();
}

// Its end, waited for up to 10 s unless it has ended already.
Finished Wait(QProcess &process)
{
    if (process.state() != QProcess::NotRunning && !process.waitForFinished(10000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            process.readAllStandardOutput(), process.readAllStandardError()};
}

// Runs to its end; standard input is the file `input`, or closed.
Finished Run(const QStringList &arguments, const QString &input = {})
{
    QProcess process;
    if (!input.isEmpty())
        process.setStandardInputFile(input);
    Start(process, arguments);
    process.closeWriteChannel();
    return Wait(process);
}

QString LinkedPortName()
{
    return QStringLiteral("COM%1").arg(LinkedPort);
}

// `send ... -` on the linked port, its standard input left open.
bool StartReadingInput(QProcess &process, const QStringList &options)
{
    Start(process, QStringList {"send", "--port", LinkedPortName()} + options + QStringList {"-"});
    return process.waitForStarted();
}

bool Feed(QProcess &process, const QByteArray &input)
{
    return process.write(input) == input.size() && process.waitForBytesWritten();
}

QByteArray Expected(const QString &board, int present, const QString &bright, const QString &message)
{
    return ToWindows1252(BuildSignCommand(board, static_cast<std::int16_t>(present), bright, message));
}

QByteArray Shown(const QString &message)
{
    return DisplayText(message).toUtf8() + '\n';
}

// Counts the opens of a file from the moment it is made.
class OpenCounter
{
public:
    explicit OpenCounter(const QString &path)
        : m_fd(::inotify_init1(IN_NONBLOCK))
    {
        if (m_fd >= 0)
            m_watch = ::inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN);
    }
    ~OpenCounter()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    OpenCounter(const OpenCounter &) = delete;
    OpenCounter &operator=(const OpenCounter &) = delete;

    [[nodiscard]] bool isValid() const { return m_watch >= 0; }

    int opens()
    {
        alignas(inotify_event) char buffer[4096];
        for (;;) {
            const ssize_t got = ::read(m_fd, buffer, sizeof buffer);
            if (got <= 0)
                return m_opens;
            for (ssize_t at = 0; at < got;) {
                const auto *event = reinterpret_cast<const inotify_event *>(buffer + at);
                if (event->mask & IN_OPEN)
                    ++m_opens;
                at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            }
        }
    }

private:
    int m_fd = -1;
    int m_watch = -1;
    int m_opens = 0;
};

} // namespace

void TestProgram::init()
{
    m_linked.emplace(LinkedPort);
    QVERIFY(m_linked->isReady());
}

void TestProgram::runsToStatusMessageAndBytes_data()
{
    QTest::addColumn<QStringList>("arguments");  // after "send"
    QTest::addColumn<QString>("input");          // standard input's file; empty: closed
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("message");     // the start of standard error, empty on success
    QTest::addColumn<QByteArray>("bytes");       // what the line takes

    const QStringList port {"--port", LinkedPortName()};
    QTest::newRow("board 7, brightness 75, center, HELLO")
        << port + QStringList {"--board", "7", "--brightness", "75", "--presentation", "center", "HELLO"}
        << QString() << ExitStatus::Ok << QByteArray() << Expected("7", 2, "75", "HELLO");
    QTest::newRow("board 07, brightness 5, fast crawl, spaced message")
        << port + QStringList {"--board", "07", "--brightness", "5", "--presentation", "fast", " OPEN NOW "}
        << QString() << ExitStatus::Ok << QByteArray() << Expected("07", 5, "5", " OPEN NOW ");
    QTest::newRow("restore defaults") << port + QStringList {"x"} << QString() << ExitStatus::Ok << QByteArray()
                              << Expected("0", 0, "99", "x");
    QTest::newRow("fields trimmed as the console accepts them")
        << port + QStringList {"--board", " 12 ", "--brightness", "", "--presentation", "Slow", ""} << QString()
        << ExitStatus::Ok << QByteArray() << Expected("12", 3, "99", "");
    QTest::newRow("port written as the console's argument")
        << QStringList {"--port", QStringLiteral(" com 00%1 ").arg(LinkedPort), "--presentation", "4", "y"}
        << QString() << ExitStatus::Ok << QByteArray() << Expected("0", 4, "99", "y");
    QTest::newRow("line breaks in the message become spaces") << port + QStringList {"A\r\nB\nC\rD"} << QString()
                                                       << ExitStatus::Ok << QByteArray() << Expected("0", 0, "99", "A B C D");
    QTest::newRow("Windows-1252 letters, and ? for what it lacks")
        << port + QStringList {"Caf\u00e9 \u20ac5 \u2192 \u0153"} << QString() << ExitStatus::Ok << QByteArray()
        << Expected("0", 0, "99", "Caf\u00e9 \u20ac5 ? \u0153");

    const QByteArray none;
    QTest::newRow("board 100") << port + QStringList {"--board", "100", "x"} << QString() << ExitStatus::DataError
                               << Shown(RejectionMessage(DecimalField::BoardNum)) << none;
    QTest::newRow("brightness -1") << port + QStringList {"--brightness=-1", "x"} << QString()
                                   << ExitStatus::DataError << Shown(RejectionMessage(DecimalField::Bright)) << none;
    QTest::newRow("both, board first")
        << port + QStringList {"--board", "1x", "--brightness", "5 5", "x"} << QString() << ExitStatus::DataError
        << Shown(RejectionMessage(DecimalField::BoardNum)) + Shown(RejectionMessage(DecimalField::Bright)) << none;
    QTest::newRow("port argument not recognised, quoted as given")
        << QStringList {"--port", " lpt1 ", "x"} << QString() << ExitStatus::Usage
        << Shown("The command line argument \" lpt1 \"is not recognized\rPlease specify argument as \"COM#\" "
                 "alone, where # is replaced by\rthe COM port number to use.")
        << none;
    QTest::newRow("port that names no device")
        << QStringList {"--port", "COM0250", "x"} << QString() << ExitStatus::Unavailable
        << QByteArray("Comm Port \"COM250\" is not available on this system\n") << none;
    QTest::newRow("port 0") << QStringList {"--port", "COM0", "x"} << QString() << ExitStatus::Unavailable
                            << QByteArray("Comm Port \"COM0\" is not available on this system\n") << none;
    QTest::newRow("unknown option") << QStringList {"--colour", "red", "x"} << QString() << ExitStatus::Usage
                                    << QByteArray("vantor-sign: Unknown option 'colour'.\n") << none;
    // A folder opens for reading, and every read of it fails.
    QTest::newRow("standard input that cannot be read")
        << port + QStringList {"-"} << QStringLiteral("/") << ExitStatus::IoError
        << QByteArray("Reading standard input failed.\n") << none;
}

void TestProgram::runsToStatusMessageAndBytes()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, input);
    QFETCH(int, status);
    QFETCH(QByteArray, message);
    QFETCH(QByteArray, bytes);

    const Finished run = Run(QStringList {"send"} + arguments, input);

    QCOMPARE(run.status, status);
    QVERIFY2(run.err.startsWith(message) && (status != ExitStatus::Ok || run.err.isEmpty()), run.err.constData());
    QCOMPARE(run.out, QByteArray());
    QCOMPARE(m_linked->pty.readMaster(bytes.size()), bytes);
    QCOMPARE(m_linked->pty.drainMaster(), QByteArray());
}

void TestProgram::endsHonestly_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QByteArray>("input");
    // Bytes the line takes each 100 ms; 0 for a device nobody reads.
    QTest::addColumn<int>("linePace");
    QTest::addColumn<int>("signal");  // sent once the line has taken its first bytes
    QTest::addColumn<int>("status");  // -1: ended by the signal

    const QString port = LinkedPortName();
    const QByteArray manyLines = QByteArray("HELLO\n").repeated(350'000);
    const QByteArray longLines = (QByteArray(1000, 'L') + '\n').repeated(200);  // more than the pty holds
    QTest::newRow("100 kB to a device nobody reads")
        << QStringList {"send", "--port", port, QString(100'000, u'M')} << QByteArray() << 0 << 0
        << ExitStatus::IoError;
    QTest::newRow("2 MB of lines to a device nobody reads")
        << QStringList {"send", "--port", port, "-"} << manyLines << 0 << 0 << ExitStatus::IoError;
    QTest::newRow("SIGTERM while a slow line drains")
        << QStringList {"send", "--port", port, "-"} << longLines << 96 << SIGTERM << -1;
    QTest::newRow("SIGINT while a slow line drains")
        << QStringList {"send", "--port", port, "-"} << longLines << 96 << SIGINT << -1;
}

void TestProgram::endsHonestly()
{
    QFETCH(QStringList, arguments);
    QFETCH(QByteArray, input);
    QFETCH(int, linePace);
    QFETCH(int, signal);
    QFETCH(int, status);
    std::unique_ptr<ThrottledReader> line;
    if (linePace > 0)
        line = std::make_unique<ThrottledReader>(m_linked->pty, linePace, 100);

    QProcess process;
    Start(process, arguments);
    QVERIFY(process.waitForStarted());
    process.write(input);
    process.closeWriteChannel();
    if (signal != 0) {
        QTRY_VERIFY(!line->received().isEmpty());
        ::kill(static_cast<pid_t>(process.processId()), signal);
    }
    // However much is left to send: a stuck device is given up on, and a
    // signal ends a drain that is still moving, after a short grace.
    QVERIFY(process.waitForFinished(signal != 0 ? 4000 : 8000));
    const Finished run = Wait(process);
    QCOMPARE(run.status, status);
    if (status == ExitStatus::IoError) {
        const QByteArray heading = QStringLiteral("Comm Port \"%1\" cannot be written to\n").arg(LinkedPortName()).toUtf8();
        QVERIFY2(run.err.startsWith(heading), run.err.constData());
    } else {
        QCOMPARE(run.err, QByteArray());
    }
    // The port is free again, however the run ended.
    QCOMPARE(LockHolder(QFileInfo(m_linked->pty.slavePath()).canonicalFilePath()), QString());
}

void TestProgram::failsWhenTheServerEndsFirst_data()
{
    AddHostileModeRows();
}

// A server that took the bytes and then closed on its own passed them to no
// device, even though every byte left the program.
void TestProgram::failsWhenTheServerEndsFirst()
{
    QFETCH(HostileServer::Mode, mode);
    TempConfigHome home;
    HostileServer server(mode, HostileServer::Behaviour::EndAfterData);
    QVERIFY(server.IsListening());
    QVERIFY(home.linkPortToText(LinkedPort, server.Address()));

    const Finished run = Run({"send", "--port", LinkedPortName(), "HELLO"});
    QCOMPARE(run.status, ExitStatus::IoError);
    QVERIFY2(run.err.startsWith("Comm Port \"" + LinkedPortName().toUtf8() + "\" cannot be written to\n"),
             run.err.constData());
    QVERIFY2(run.err.contains("Device open failure"), run.err.constData());
}

void TestProgram::sendsEachInputLineOverOneOpen()
{
    PtyPair &pty = m_linked->pty;
    OpenCounter counter(pty.slavePath());
    QVERIFY(counter.isValid());

    QProcess process;
    QVERIFY(StartReadingInput(process, {"--board", "3"}));
    // Each string must arrive while the input is still open: lines go out as
    // they come, not at the end.
    const QList<QPair<QByteArray, QString>> lines {
        {"first\n", "first"}, {"\n", {}}, {"  second line  \r\n", "  second line  "}, {"   \n", {}},
        {"third", "third"}};
    for (const auto &[line, message] : lines) {
        QVERIFY(Feed(process, line));
        if (message.isNull())
            continue;
        if (line.endsWith('\n')) {
            const QByteArray expected = Expected("3", 0, "99", message);
            QCOMPARE(pty.readMaster(expected.size(), 5000), expected);
        }
    }
    QCOMPARE(pty.drainMaster(), QByteArray());  // blank lines sent nothing
    process.closeWriteChannel();

    const Finished run = Wait(process);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.status, ExitStatus::Ok);
    const QByteArray last = Expected("3", 0, "99", "third");
    QCOMPARE(pty.readMaster(last.size()), last);
    QCOMPARE(counter.opens(), 1);
}

void TestProgram::skipsAnOverLongInputLine()
{
    QProcess process;
    QVERIFY(StartReadingInput(process, {"--board", "3"}));

    QVERIFY(Feed(process, "first\n" + QByteArray(FieldTextLimit + 1, 'x') + "\nlast\n"));
    process.closeWriteChannel();
    const Finished run = Wait(process);

    QCOMPARE(run.err, Shown(OverLongLineMessage(2)));
    QCOMPARE(run.status, ExitStatus::DataError);
    const QByteArray sent = Expected("3", 0, "99", "first") + Expected("3", 0, "99", "last");
    QCOMPARE(m_linked->pty.readMaster(sent.size()), sent);
}

void TestProgram::refusesAPortHeldByTheConsole()
{
    PtyPair &pty = m_linked->pty;
    PortControl console;
    QVERIFY(console.SetCommPort(LinkedPort).ok);
    QVERIFY(console.Open().ok);

    const Finished run = Run({"send", "--port", LinkedPortName(), "x"});

    QCOMPARE(run.status, ExitStatus::TempFail);
    const QByteArray heading = QStringLiteral("Comm Port \"COM%1\" cannot be opened\n").arg(LinkedPort).toUtf8();
    QVERIFY2(run.err.startsWith(heading), run.err.constData());
    const QByteArray holder = "process " + QByteArray::number(QCoreApplication::applicationPid());
    QVERIFY2(run.err.contains(holder), run.err.constData());
    QCOMPARE(pty.drainMaster(), QByteArray());
}

void TestProgram::holdsThePortAgainstTheConsole()
{
    PtyPair &pty = m_linked->pty;
    QProcess process;
    QVERIFY(StartReadingInput(process, {}));
    QVERIFY(Feed(process, "held\n"));
    const QByteArray sent = Expected("0", 0, "99", "held");
    QCOMPARE(pty.readMaster(sent.size(), 5000), sent);

    PortControl console;
    QVERIFY(console.SetCommPort(LinkedPort).ok);
    const PortStatus opened = console.Open();

    QVERIFY(!opened.ok);
    QVERIFY2(opened.description.contains("process " + QString::number(process.processId())),
             qPrintable(opened.description));
    process.closeWriteChannel();
    QCOMPARE(Wait(process).status, ExitStatus::Ok);
    QVERIFY(console.Open().ok);  // free again once it has finished
}

void TestProgram::freesThePortWhenStopped()
{
    QProcess process;
    QVERIFY(StartReadingInput(process, {}));
    QVERIFY(Feed(process, "before\n"));
    const QByteArray sent = Expected("0", 0, "99", "before");
    QCOMPARE(m_linked->pty.readMaster(sent.size(), 5000), sent);

    process.terminate();  // SIGTERM while it waits for the next line

    QVERIFY(process.waitForFinished(5000));
    QCOMPARE(process.exitStatus(), QProcess::CrashExit);  // ended by the signal, as the shell expects
    QCOMPARE(process.readAllStandardError(), QByteArray());
    // Its lock file is gone, not merely stale.
    QCOMPARE(LockHolder(QFileInfo(m_linked->pty.slavePath()).canonicalFilePath()), QString());
    PortControl console;
    QVERIFY(console.SetCommPort(LinkedPort).ok);
    const PortStatus opened = console.Open();
    QVERIFY2(opened.ok, qPrintable(opened.description));
}

void TestProgram::listsALinkedPseudoTerminal()
{
    PtyPair &pty = m_linked->pty;
    QVERIFY(m_linked->config.linkPort(LinkedPort + 1, "/dev/gone-away"));

    const Finished text = Run({"ports"});
    QCOMPARE(text.status, ExitStatus::Ok);
    // Whether it is in use depends on lock files this test does not own.
    const QByteArray line = QStringLiteral("COM%1  %2 -> %3  (in use: ")
                                .arg(QString::number(LinkedPort), PortLinkPath(LinkedPort), pty.slavePath())
                                .toUtf8();
    QVERIFY2(text.out.contains(line), text.out.constData());
    QVERIFY2(text.out.contains("(leads nowhere)"), text.out.constData());

    const Finished json = Run({"ports", "--json"});
    QCOMPARE(json.status, ExitStatus::Ok);
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(json.out, &error);
    QVERIFY2(error.error == QJsonParseError::NoError, qPrintable(error.errorString()));
    QVERIFY(document.object().value("devices").isArray());
    const QJsonArray links = document.object().value("links").toArray();
    QCOMPARE(links.size(), 2);
    const QJsonObject first = links.first().toObject();
    QCOMPARE(first.value("port").toInt(), LinkedPort);
    QCOMPARE(first.value("device").toString(), QFileInfo(pty.slavePath()).canonicalFilePath());
    QVERIFY(links.last().toObject().value("device").isNull());
}

void TestProgram::linksAndUnlinks()
{
    const TempConfigHome config;
    PtyPair first;
    PtyPair second;
    QVERIFY(first.isValid() && second.isValid());
    const QString port = LinkedPortName();

    QCOMPARE(Run({"link", port, first.slavePath()}).status, ExitStatus::Ok);
    const Finished again = Run({"link", port, second.slavePath()});
    QCOMPARE(again.status, ExitStatus::CannotCreate);
    QVERIFY2(again.err.contains(first.slavePath().toUtf8()), again.err.constData());
    QCOMPARE(Run({"link", "--force", port, second.slavePath()}).status, ExitStatus::Ok);

    // The console's control now finds the second device under that number.
    PortControl console;
    QVERIFY(console.SetCommPort(LinkedPort).ok);
    QCOMPARE(console.DevicePath(), QFileInfo(second.slavePath()).canonicalFilePath());

    QCOMPARE(Run({"unlink", port}).status, ExitStatus::Ok);
    QVERIFY(!HasPortLink(LinkedPort));
    QCOMPARE(Run({"unlink", port}).status, ExitStatus::NoInput);
    QCOMPARE(Run({"link", port, "/dev/no-such-device"}).status, ExitStatus::NoInput);
}

QTEST_GUILESS_MAIN(TestProgram)
#include "tst_program.moc"
