#include "ser2netserver.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>

namespace {

constexpr int StartMs = 5000;

QString Program()
{
    return QStandardPaths::findExecutable(QStringLiteral("ser2net"), {QStringLiteral("/usr/sbin"),
                                                                      QStringLiteral("/usr/bin")});
}

} // namespace

quint16 ClosedLocalPort()
{
    QTcpServer server;
    if (!server.listen(QHostAddress::LocalHost))
        return 0;
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

Ser2NetServer::Ser2NetServer(Protocol protocol, const QString &devicePath)
    : m_protocol(protocol)
    , m_devicePath(devicePath)
    , m_port(ClosedLocalPort())
{
    m_process.setProcessChannelMode(QProcess::MergedChannels);
}

Ser2NetServer::~Ser2NetServer()
{
    Stop();
}

bool Ser2NetServer::Available()
{
    return !Program().isEmpty();
}

QString Ser2NetServer::Address() const
{
    return (m_protocol == Protocol::Rfc2217 ? QStringLiteral("rfc2217://") : QStringLiteral("tcp://"))
        + QStringLiteral("127.0.0.1:") + QString::number(m_port);
}

bool Ser2NetServer::Start()
{
    const QString config = m_dir.filePath(QStringLiteral("ser2net.yaml"));
    QFile file(config);
    const QString accepter = (m_protocol == Protocol::Rfc2217 ? QStringLiteral("telnet(rfc2217),") : QString())
        + QStringLiteral("tcp,127.0.0.1,") + QString::number(m_port);
    const QString yaml = QStringLiteral("connection: &sign\n"
                                        "  accepter: %1\n"
                                        "  connector: serialdev,%2,19200E72,local\n"
                                        "  options:\n"
                                        "    kickolduser: false\n")
                             .arg(accepter, m_devicePath);
    if (!file.open(QIODevice::WriteOnly) || file.write(yaml.toUtf8()) < 0) {
        m_problem = QStringLiteral("cannot write ") + config;
        return false;
    }
    file.close();
    m_process.start(Program(), {QStringLiteral("-n"), QStringLiteral("-d"), QStringLiteral("-c"), config,
                                QStringLiteral("-P"), m_dir.filePath(QStringLiteral("pid"))});
    if (!m_process.waitForStarted()) {
        m_problem = m_process.errorString();
        return false;
    }
    const QDeadlineTimer deadline(StartMs);
    while (!Listening()) {
        if (deadline.hasExpired() || m_process.state() != QProcess::Running) {
            m_process.waitForReadyRead(100);
            m_problem = QStringLiteral("ser2net does not listen: ") + QString::fromLocal8Bit(m_process.readAll());
            return false;
        }
        QThread::msleep(20);
    }
    return true;
}

void Ser2NetServer::Stop()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(StartMs))
        m_process.kill();
    m_process.waitForFinished();
    // Gone from the listening sockets before the caller goes on.
    const QDeadlineTimer deadline(StartMs);
    while (Listening() && !deadline.hasExpired())
        QThread::msleep(20);
}

bool Ser2NetServer::Listening() const
{
    // Looks at the system's socket table: a trial connection would make
    // ser2net open the device.
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly))
        return false;
    const QByteArray local = QByteArrayLiteral("0100007F:") + QByteArray::number(m_port, 16).toUpper().rightJustified(4, '0');
    const QList<QByteArray> lines = table.readAll().split('\n');
    for (const QByteArray &line : lines) {
        const QList<QByteArray> fields = line.simplified().split(' ');
        // Field 3 is the state; 0A is LISTEN.
        if (fields.size() > 3 && fields.at(1) == local && fields.at(3) == "0A")
            return true;
    }
    return false;
}
