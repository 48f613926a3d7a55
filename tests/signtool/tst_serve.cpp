#include "mosquittobroker.h"
#include "servedpty.h"

#include <csignal>
#include <memory>

// vantor-sign serve against a real broker on 127.0.0.1: what a published
// body puts on the line, what it leaves retained, and how the server's end
// and the broker's restart look from the broker.
class TestServe : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void publishedBodyReachesTheLine_data();
    void publishedBodyReachesTheLine();
    void refusedBodyGoesToTheErrorTopic_data();
    void refusedBodyGoesToTheErrorTopic();
    void endingLeavesOffline_data();
    void endingLeavesOffline();
    void brokerRestartIsReconnected();

private:
    // Each test's own broker, and the port served under the prefix "t".
    std::unique_ptr<MosquittoBroker> m_broker;
    std::unique_ptr<ServedPty> m_served;
};

void TestServe::init()
{
    if (!MosquittoBroker::Available())
        QSKIP("mosquitto and its clients are not installed");
    m_broker = std::make_unique<MosquittoBroker>();
    QVERIFY2(m_broker->Start(), qPrintable(m_broker->Problem()));
    m_served = std::make_unique<ServedPty>();
    QVERIFY(m_served->isReady());
    QVERIFY2(m_served->Serve({"--mqtt", m_broker->Url(), "--topic", "t"}), m_served->log.constData());
    QCOMPARE(m_broker->WaitForRetained("t/status", "online"), QByteArray("online"));
}

void TestServe::cleanup()
{
    m_served.reset();  // the server goes before its broker
    m_broker.reset();
}

void TestServe::publishedBodyReachesTheLine_data()
{
    QTest::addColumn<QString>("board");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QByteArray>("state");

    QTest::newRow("plain text") << "1" << QByteArray("HELLO") << SignBytes("1", 0, "99", "HELLO")
                                << QByteArray(R"({"brightness":99,"message":"HELLO","presentation":"left"})");
    QTest::newRow("JSON") << "12" << QByteArray(R"({"message":"caf\u00e9","brightness":5,"presentation":"slow"})")
                          << SignBytes("12", 3, "5", "caf\u00e9")
                          << QByteArray(R"({"brightness":5,"message":"café","presentation":"slow"})");
}

void TestServe::publishedBodyReachesTheLine()
{
    QFETCH(QString, board);
    QFETCH(QByteArray, bytes);
    QFETCH(QByteArray, state);
    MosquittoBroker &broker = *m_broker;
    ServedPty &served = *m_served;

    QFETCH(QByteArray, body);
    QVERIFY(broker.Publish("t/" + board + "/set", body));

    QCOMPARE(served.pty.readMaster(bytes.size(), 5000), bytes);
    QCOMPARE(broker.WaitForRetained("t/" + board + "/state", state), state);
    QVERIFY(!broker.Retained("homeassistant/text/+/+/config").isEmpty());
}

void TestServe::refusedBodyGoesToTheErrorTopic_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("why");

    QTest::newRow("cut short") << QByteArray("{\"message\": \"cut") << QByteArray("\nnot JSON: ");
    QTest::newRow("brightness the console refuses") << QByteArray("{\"brightness\": 100}")
                                                    << QByteArray("INVALID BRIGHTNESS");
    QTest::newRow("another board than the topic's") << QByteArray("{\"board\": \"2\"}")
                                                    << QByteArray("differs from the topic");
}

void TestServe::refusedBodyGoesToTheErrorTopic()
{
    MosquittoBroker &broker = *m_broker;
    ServedPty &served = *m_served;
    QProcess errors;
    QVERIFY(broker.Subscribe(errors, "t/1/error"));

    QFETCH(QByteArray, body);
    QVERIFY(broker.Publish("t/1/set", body));

    QVERIFY(errors.waitForFinished(5000));
    const QByteArray said = errors.readAllStandardOutput();
    QFETCH(QByteArray, why);
    QVERIFY2(said.contains(why), said.constData());
    QCOMPARE(served.pty.drainMaster(300), QByteArray());
    QCOMPARE(broker.Retained("t/1/state"), QByteArray());
}

void TestServe::endingLeavesOffline_data()
{
    QTest::addColumn<int>("signal");
    QTest::addColumn<int>("status");

    QTest::newRow("killed: the last will") << int(SIGKILL) << -1;
    QTest::newRow("stopped: said before leaving") << int(SIGTERM) << 0;
}

void TestServe::endingLeavesOffline()
{
    QFETCH(int, signal);
    MosquittoBroker &broker = *m_broker;
    ServedPty &served = *m_served;

    ::kill(static_cast<pid_t>(served.server.processId()), signal);

    QVERIFY(served.server.waitForFinished(5000));
    QTEST(served.server.exitStatus() == QProcess::NormalExit ? served.server.exitCode() : -1, "status");
    QCOMPARE(broker.WaitForRetained("t/status", "offline"), QByteArray("offline"));
}

void TestServe::brokerRestartIsReconnected()
{
    MosquittoBroker &broker = *m_broker;
    ServedPty &served = *m_served;

    broker.Stop();
    QVERIFY2(broker.Start(), qPrintable(broker.Problem()));  // nothing retained survives: not persistent
    QCOMPARE(broker.WaitForRetained("t/status", "online"), QByteArray("online"));
    QVERIFY(broker.Publish("t/2/set", "again"));

    const QByteArray bytes = SignBytes("2", 0, "99", "again");
    QCOMPARE(served.pty.readMaster(bytes.size(), 5000), bytes);
}

QTEST_GUILESS_MAIN(TestServe)
#include "tst_serve.moc"
