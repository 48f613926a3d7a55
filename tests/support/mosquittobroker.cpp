#include "mosquittobroker.h"

#include "ser2netserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpSocket>
#include <QThread>

namespace {

constexpr int StartMs = 5000;

QString Program(const QString &name)
{
    return QStandardPaths::findExecutable(name, {QStringLiteral("/usr/sbin"), QStringLiteral("/usr/bin")});
}

QByteArray RunClient(const QString &name, const QStringList &arguments)
{
    QProcess client;
    client.start(Program(name), arguments);
    if (!client.waitForFinished(StartMs))
        client.kill();
    client.waitForFinished();
    return client.readAllStandardOutput();
}

} // namespace

MosquittoBroker::MosquittoBroker()
    : m_port(ClosedLocalPort())
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

MosquittoBroker::~MosquittoBroker()
{
    Stop();
}

bool MosquittoBroker::Available()
{
    return !Program(QStringLiteral("mosquitto")).isEmpty() && !Program(QStringLiteral("mosquitto_sub")).isEmpty();
}

QString MosquittoBroker::Url() const
{
    return QStringLiteral("mqtt://127.0.0.1:%1").arg(m_port);
}

bool MosquittoBroker::Start()
{
    const QString config = m_dir.filePath(QStringLiteral("mosquitto.conf"));
    QFile file(config);
    const QByteArray text = "listener " + QByteArray::number(m_port) + " 127.0.0.1\n"
                            "allow_anonymous true\npersistence false\n";
    if (!file.open(QIODevice::WriteOnly) || file.write(text) != text.size()) {
        m_problem = QStringLiteral("cannot write ") + config;
        return false;
    }
    file.close();
    m_process.start(Program(QStringLiteral("mosquitto")), {QStringLiteral("-c"), config});
    const QDeadlineTimer deadline(StartMs);
    while (m_process.state() != QProcess::NotRunning && !deadline.hasExpired()) {
        QTcpSocket probe;
        probe.connectToHost(QStringLiteral("127.0.0.1"), m_port);
        if (probe.waitForConnected(200))
            return true;
        QThread::msleep(20);
    }
    m_problem = QStringLiteral("mosquitto does not listen: ") + QString::fromLocal8Bit(m_process.readAll());
    return false;
}

void MosquittoBroker::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.kill();
    m_process.waitForFinished();
}

QStringList MosquittoBroker::Where() const
{
    return {QStringLiteral("-h"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"), QString::number(m_port)};
}

QByteArray MosquittoBroker::Retained(const QString &topic) const
{
    // Only retained messages come at once; -W ends the wait when none is.
    return RunClient(QStringLiteral("mosquitto_sub"),
                     Where() + QStringList {"--retained-only", "-C", "1", "-W", "1", "-N", "-t", topic});
}

QByteArray MosquittoBroker::WaitForRetained(const QString &topic, const QByteArray &expected) const
{
    QByteArray seen;
    const QDeadlineTimer deadline(StartMs);
    while ((seen = Retained(topic)) != expected && !deadline.hasExpired())
        QThread::msleep(50);
    return seen;
}

bool MosquittoBroker::Publish(const QString &topic, const QByteArray &payload) const
{
    QProcess client;
    client.start(Program(QStringLiteral("mosquitto_pub")),
                 Where() + QStringList {"-q", "1", "-t", topic, "-m", QString::fromUtf8(payload)});
    return client.waitForFinished(StartMs) && client.exitCode() == 0;
}

bool MosquittoBroker::Subscribe(QProcess &subscriber, const QString &topic) const
{
    // Line-buffered: the client's own buffer would hold its SUBACK line back.
    subscriber.start(QStringLiteral("stdbuf"),
                     QStringList {"-oL", Program(QStringLiteral("mosquitto_sub"))} + Where()
                         + QStringList {"-d", "-C", "1", "-t", topic});
    const QDeadlineTimer deadline(StartMs);
    QByteArray debug;
    while (!debug.contains("SUBACK") && !deadline.hasExpired()) {
        subscriber.waitForReadyRead(100);
        debug = subscriber.peek(subscriber.bytesAvailable());
    }
    return debug.contains("SUBACK");
}
