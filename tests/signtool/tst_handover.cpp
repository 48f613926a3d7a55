#include "exitstatus.h"
#include "handoverprotocol.h"
#include "servedpty.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLocalServer>

#include <pwd.h>
#include <unistd.h>

// `vantor-sign send` to a port another program holds: through the holder
// when it is this user's and answers, refused as today otherwise.
class TestHandOver : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void sendsThroughTheHolder_data();
    void sendsThroughTheHolder();
    void answeredOnceTheDeviceHasTakenIt();
    void silentHolderIsAPortInUse();
    void anotherUsersSocketIsNeverUsed();
};

void TestHandOver::sendsThroughTheHolder_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("board 3, fast") << QStringList {"--board", "3", "--presentation", "fast", "HELLO"}
                                   << ExitStatus::Ok << SignBytes("3", 5, "99", "HELLO");
    QTest::newRow("board mended as the console mends it")
        << QStringList {"--board", " 12 ", "--brightness", "5", " spaced "} << ExitStatus::Ok
        << SignBytes("12", 0, "5", "spaced");
    QTest::newRow("brightness refused at the sender") << QStringList {"--brightness", "100", "x"}
                                                      << ExitStatus::DataError << QByteArray();
}

void TestHandOver::sendsThroughTheHolder()
{
    QFETCH(QStringList, options);
    ServedPty served;
    QVERIFY(served.isReady());
    QVERIFY2(served.Serve(), served.log.constData());

    // The holder has the port's lock: only a hand-over gets bytes out.
    QTEST(ServedPty::Run(QStringList {"send", "--port", ServedPty::PortName()} + options), "status");

    QFETCH(QByteArray, bytes);
    QCOMPARE(served.pty.drainMaster(200), bytes);
}

void TestHandOver::answeredOnceTheDeviceHasTakenIt()
{
    ServedPty served;
    QVERIFY(served.isReady());
    QVERIFY2(served.Serve(), served.log.constData());
    // More than the system buffers between the two ends of the line.
    const QString message(100000, QLatin1Char('m'));
    QProcess sender;
    sender.start(QStringLiteral(VANTOR_SIGN_EXECUTABLE), {"send", "--port", ServedPty::PortName(), message});

    QVERIFY2(!sender.waitForFinished(500), sender.readAllStandardError().constData());  // the sign has taken nothing yet

    const QByteArray bytes = SignBytes("0", 0, "99", message);
    QCOMPARE(served.pty.readMaster(bytes.size(), 5000).size(), bytes.size());
    QVERIFY(sender.waitForFinished(5000));
    QCOMPARE(sender.exitCode(), ExitStatus::Ok);
}

void TestHandOver::silentHolderIsAPortInUse()
{
    ServedPty served;
    QVERIFY(served.isReady());
    QLocalServer silent;  // takes connections, never reads or answers
    QVERIFY(silent.listen(HandOverSocketName(ServedPty::Port)));
    QVERIFY2(served.Serve(), served.log.constData());  // the holder's own socket could not be made
    QVERIFY(served.log.contains("not shared"));

    QElapsedTimer clock;
    clock.start();
    QByteArray errors;
    QCOMPARE(ServedPty::Run({"send", "--port", ServedPty::PortName(), "x"}, &errors), ExitStatus::TempFail);

    QVERIFY2(clock.elapsed() < 3 * HandOverTiming::AnswerMs, QByteArray::number(clock.elapsed()).constData());
    QVERIFY2(errors.contains("did not answer"), errors.constData());
    QCOMPARE(served.pty.drainMaster(), QByteArray());
}

void TestHandOver::anotherUsersSocketIsNeverUsed()
{
    if (::geteuid() != 0)
        QSKIP("making a socket another user's needs root");
    ServedPty served;
    QVERIFY(served.isReady());
    QLocalServer foreign;
    QVERIFY(foreign.listen(HandOverSocketName(ServedPty::Port)));
    const passwd *nobody = ::getpwnam("nobody");
    QVERIFY(nobody);
    QCOMPARE(::chown(QFile::encodeName(foreign.fullServerName()).constData(), nobody->pw_uid, nobody->pw_gid), 0);

    // The port itself is free: the string goes out directly.
    QCOMPARE(ServedPty::Run({"send", "--port", ServedPty::PortName(), "mine"}), ExitStatus::Ok);

    QCOMPARE(served.pty.drainMaster(200), SignBytes("0", 0, "99", "mine"));
    QVERIFY(!foreign.waitForNewConnection(0));
}

QTEST_GUILESS_MAIN(TestHandOver)
#include "tst_handover.moc"
