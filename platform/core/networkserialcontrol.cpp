#include "networkserialcontrol.h"

#include "networkfailure.h"
#include "windows1252.h"

#include <QDeadlineTimer>
#include <QScopedValueRollback>
#include <QTcpSocket>
#include <QThread>
#include <QTimer>

#ifndef Q_OS_WIN
#include <sys/ioctl.h>
#endif

namespace {

constexpr QChar LineBreak(13);
// The longest a connection may take before it counts as timed out; the
// console waits this long at most while its splash is up.
constexpr int ConnectMs = 3000;
// A busy server accepts and closes at once, often with a text. A raw server
// that says nothing within this time is taken as ready.
constexpr int BusyGraceMs = 250;
// How many times a Send reads what waits before it knows whether the server
// has closed the connection.
constexpr int MaxLooksForClose = 64;
using OutputTiming::DrainPollMs;
using OutputTiming::StallMs;
using OutputTiming::WatchMs;

} // namespace

NetworkSerialControl::NetworkSerialControl(NetworkPort address)
    : m_address(std::move(address))
    , m_socket(std::make_unique<QTcpSocket>())
    , m_progressTimer(std::make_unique<QTimer>())
    , m_progress(StallMs)
{
    m_clock.start();
    m_progressTimer->setInterval(WatchMs);
    QObject::connect(m_progressTimer.get(), &QTimer::timeout, m_socket.get(), [this] { WatchProgress(); });
    QObject::connect(m_socket.get(), &QTcpSocket::readyRead, m_socket.get(), [this] {
        if (!m_inCall)
            static_cast<void>(TakeIncoming());
    });
    // Queued: the socket may be closed in answer, which it must not see
    // happen inside its own signal.
    QObject::connect(
        m_socket.get(), &QTcpSocket::errorOccurred, m_socket.get(), [this] { TakeAsyncError(); },
        Qt::QueuedConnection);
}

NetworkSerialControl::~NetworkSerialControl()
{
    Close();
}

PortStatus NetworkSerialControl::SetCommPort(int)
{
    if (IsOpen())
        return PortStatus::Failure(QStringLiteral("The port is open already."));
    return PortStatus::Success();
}

PortStatus NetworkSerialControl::SetSettings(const QString &settings)
{
    const ParsedLineSettings parsed = ParseLineSettings(settings);
    if (!parsed.ok())
        return PortStatus::Failure(parsed.problem);
    m_line = parsed.settings;
    return PortStatus::Success();
}

bool NetworkSerialControl::SpeaksComPort() const
{
    return m_address.protocol == NetworkPort::Protocol::Rfc2217;
}

PortStatus NetworkSerialControl::Open()
{
    if (IsOpen())
        return PortStatus::Success();
    const QScopedValueRollback inCall(m_inCall, true);
    const QDeadlineTimer deadline(ConnectMs);
    m_telnet = TelnetReader();
    m_socket->abort();
    m_socket->connectToHost(m_address.host, m_address.port);
    if (!m_socket->waitForConnected(static_cast<int>(deadline.remainingTime()))) {
        const QAbstractSocket::SocketError error = m_socket->error() == QAbstractSocket::UnknownSocketError
            ? QAbstractSocket::SocketTimeoutError : m_socket->error();
        const QString why = DescribeConnectFailure(m_address, error, m_socket->errorString());
        m_socket->abort();
        return PortStatus::Failure(why);
    }
    m_socket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
    if (SpeaksComPort())
        m_socket->write(ComPortOpening(m_line));
    const PortStatus welcome =
        AwaitWelcome(SpeaksComPort() ? static_cast<int>(deadline.remainingTime()) : BusyGraceMs);
    if (!welcome.ok) {
        m_socket->abort();
        return welcome;
    }
    m_closedBecause.clear();
    m_inService = true;
    return welcome;
}

PortStatus NetworkSerialControl::AwaitWelcome(int waitMs)
{
    const QDeadlineTimer deadline(waitMs);
    QByteArray said;
    // A busy server may take the option and then close; one that serves
    // answers the line settings.
    while (!(SpeaksComPort() && (m_telnet.LineSettled() || m_telnet.ComPortRefused()))) {
        if (!m_socket->waitForReadyRead(static_cast<int>(deadline.remainingTime())))
            break;
        said += TakeIncoming();
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState)
        return PortStatus::Failure(DescribeBusyServer(m_address, said));
    if (SpeaksComPort() && !m_telnet.ComPortAccepted()) {
        if (m_telnet.ComPortRefused())
            return PortStatus::Failure(DescribeNoComPortOption(m_address));
        return PortStatus::Failure(DescribeConnectFailure(
            m_address, QAbstractSocket::SocketTimeoutError, m_socket->errorString()));
    }
    return PortStatus::Success();
}

QByteArray NetworkSerialControl::TakeIncoming()
{
    const QByteArray bytes = m_socket->readAll();
    if (!SpeaksComPort())
        return bytes;
    TelnetReader::Result result = m_telnet.Feed(bytes);
    if (!result.reply.isEmpty())
        m_socket->write(result.reply);
    return result.data;
}

void NetworkSerialControl::CheckStillConnected()
{
    // A server that closed shows as readable with nothing to read, behind
    // whatever it sent last (an RFC 2217 server reports the line's state).
    // Bounded, for a server that never stops talking.
    for (int look = 0; look < MaxLooksForClose && m_socket->state() == QAbstractSocket::ConnectedState
         && m_socket->waitForReadyRead(0);
         ++look) {
        static_cast<void>(TakeIncoming());
    }
    if (m_socket->state() != QAbstractSocket::ConnectedState && m_inService)
        GiveUp(DescribeLostConnection(m_address, m_socket->errorString()));
}

PortStatus NetworkSerialControl::Output(const QString &text)
{
    {
        const QScopedValueRollback inCall(m_inCall, true);
        if (IsOpen())
            CheckStillConnected();
    }
    if (!IsOpen()) {
        if (m_closedBecause.isEmpty())
            return PortStatus::Failure(QStringLiteral("The port is not open."));
        const PortStatus reopened = Open();
        if (!reopened.ok) {
            return PortStatus::Failure(
                QStringLiteral("The connection was lost and cannot be made again:") + LineBreak
                + reopened.description);
        }
    }
    const QByteArray bytes = ToWindows1252(text);
    m_socket->write(SpeaksComPort() ? EscapeTelnetData(bytes) : bytes);
    // What the system takes now goes now; the rest from the event loop.
    static_cast<void>(m_socket->flush());
    if (Pending() > 0 && !m_progressTimer->isActive()) {
        m_progress.Start(Pending(), m_clock.elapsed());
        m_progressTimer->start();
    }
    return PortStatus::Success();
}

void NetworkSerialControl::SetFailureHandler(FailureHandler handler)
{
    m_failureHandler = std::move(handler);
}

void NetworkSerialControl::Close()
{
    m_progressTimer->stop();
    m_inService = false;
    if (!IsOpen())
        return;
    const QScopedValueRollback inCall(m_inCall, true);
    DrainQueue();
    // Bytes left unread would turn the close into a reset that throws away
    // what the system still has to send.
    static_cast<void>(TakeIncoming());
    m_socket->disconnectFromHost();
    m_socket->abort();
}

bool NetworkSerialControl::IsOpen() const
{
    return m_socket->state() == QAbstractSocket::ConnectedState;
}

qint64 NetworkSerialControl::Pending() const
{
    qint64 pending = m_socket->bytesToWrite();
#ifndef Q_OS_WIN
    // What the system has not yet seen acknowledged (SIOCOUTQ on Linux).
    int systemQueue = 0;
    if (IsOpen() && ::ioctl(static_cast<int>(m_socket->socketDescriptor()), TIOCOUTQ, &systemQueue) == 0)
        pending += systemQueue;
#endif
    return pending;
}

void NetworkSerialControl::WatchProgress()
{
    if (!IsOpen() || Pending() == 0) {
        m_progressTimer->stop();
        return;
    }
    if (m_progress.Observe(Pending(), m_clock.elapsed())) {
        Report(NetworkPortText(m_address) + QStringLiteral(" has taken nothing for ")
               + QString::number(StallMs / 1000) + QStringLiteral(" seconds; ")
               + QString::number(Pending()) + QStringLiteral(" bytes are still waiting to be sent.")
               + LineBreak
               + QStringLiteral("They go out once it takes bytes again: check the server and the network."));
    }
}

void NetworkSerialControl::TakeAsyncError()
{
    // A call that met the error has dealt with it already.
    if (m_inCall || !m_inService || m_socket->state() == QAbstractSocket::ConnectedState)
        return;
    const QString why = DescribeLostConnection(m_address, m_socket->errorString());
    GiveUp(why);
    Report(why);
}

void NetworkSerialControl::GiveUp(const QString &why)
{
    m_progressTimer->stop();
    m_socket->abort();
    m_closedBecause = why;
    m_inService = false;
}

void NetworkSerialControl::Report(const QString &description) const
{
    if (m_failureHandler)
        m_failureHandler(description);
}

void NetworkSerialControl::DrainQueue()
{
    OutputProgress progress(StallMs);
    QElapsedTimer clock;
    clock.start();
    progress.Start(Pending(), 0);
    while (IsOpen() && Pending() > 0 && !progress.Stalled()) {
        if (m_socket->bytesToWrite() > 0)
            static_cast<void>(m_socket->waitForBytesWritten(WatchMs));
        else
            QThread::msleep(DrainPollMs);
        static_cast<void>(progress.Observe(Pending(), clock.elapsed()));
    }
}
