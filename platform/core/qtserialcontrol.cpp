#include "qtserialcontrol.h"

#include "linesettings.h"
#include "networkport.h"
#include "networkserialcontrol.h"
#include "portfailure.h"
#include "portlock.h"
#include "portnaming.h"
#include "windows1252.h"

#include <QFileInfo>
#include <QScopedValueRollback>
#include "serialbackend.h"
#include <QThread>
#include <QTimer>

#ifndef Q_OS_WIN
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace {

constexpr QChar LineBreak(13);

using OutputTiming::DrainPollMs;
using OutputTiming::StallMs;
using OutputTiming::WatchMs;
// The most the library is handed at a time. It gives its whole buffer to one
// write(), and a pseudo-terminal frees the room a large write took only once
// all of it has been read: a slow reader would look stuck for seconds. Small
// pieces come back as room at the line's pace.
constexpr qsizetype PieceBytes = 256;

} // namespace

QtSerialControl::QtSerialControl()
    : m_port(std::make_unique<SerialBackend>())
    , m_progressTimer(std::make_unique<QTimer>())
    , m_progress(StallMs)
{
    m_clock.start();
    m_progressTimer->setInterval(WatchMs);
    QObject::connect(m_progressTimer.get(), &QTimer::timeout, m_port.get(), [this] { WatchProgress(); });
    QObject::connect(m_port.get(), &SerialBackend::bytesWritten, m_port.get(), [this] { FeedPort(); });
    // Queued: the port may be closed in answer, which the library must not
    // see happen inside its own write.
    QObject::connect(
        m_port.get(), &SerialBackend::errorOccurred, m_port.get(),
        [this](SerialBackend::SerialPortError error) { TakeAsyncError(error); }, Qt::QueuedConnection);
}

QtSerialControl::~QtSerialControl()
{
    Close();
}

PortStatus QtSerialControl::SetCommPort(int n)
{
    if (IsOpen())
        return PortStatus::Failure(QStringLiteral("The port is open already."));

    m_network.reset();
    m_portNumber = n;
    const QString linkText = n > 0 ? PortLinkText(n) : QString();
    if (LooksLikeNetworkPort(linkText)) {
        const std::optional<NetworkPort> address = ParseNetworkPort(linkText);
        if (!address)
            return PortStatus::Failure(DescribeMalformedNetworkPort(linkText));
        m_network = std::make_unique<NetworkSerialControl>(*address);
        m_network->SetFailureHandler(m_failureHandler);
        m_devicePath = NetworkPortText(*address);
        return m_network->SetCommPort(n);
    }
    const QString path = PortDevicePath(n);
#ifdef Q_OS_WIN
    if (path.isEmpty())
        return PortStatus::Failure(DescribeMissingDevice(n, path));
    m_devicePath = path;
#else
    // exists() follows links, so a link to a device that is gone is missing.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return PortStatus::Failure(DescribeMissingDevice(n, path));
    // The device's own name, not the link's: lock files are named after the
    // device itself, by the serial library and by other programs alike.
    m_devicePath = QFileInfo(path).canonicalFilePath();
#endif
    m_port->setPortName(m_devicePath);
    return PortStatus::Success();
}

PortStatus QtSerialControl::SetSettings(const QString &settings)
{
    if (m_network)
        return m_network->SetSettings(settings);
    const ParsedLineSettings parsed = ParseLineSettings(settings);
    if (!parsed.ok())
        return PortStatus::Failure(parsed.problem);

    const LineSettings &line = parsed.settings;
    const bool applied = m_port->setBaudRate(line.baudRate)
        && m_port->setParity(line.parity)
        && m_port->setDataBits(line.dataBits)
        && m_port->setStopBits(line.stopBits)
        && m_port->setFlowControl(SerialBackend::NoFlowControl);
    if (!applied) {
        return PortStatus::Failure(
            DescribeSettingsFailure(m_port->error(), m_port->errorString(), settings));
    }
    m_lineSettings = settings;
    return PortStatus::Success();
}

PortStatus QtSerialControl::Open()
{
    if (m_network)
        return m_network->Open();
    if (m_devicePath.isEmpty())
        return PortStatus::Failure(QStringLiteral("No port has been chosen."));
    if (m_port->isOpen())
        return PortStatus::Success();

    // Before the library sees the device: it would take another program's
    // lock file for stale and remove it.
    if (LiveLockHolder(m_devicePath))
        return PortStatus::Failure(DescribeHeldPort(m_devicePath));

    const QScopedValueRollback inCall(m_inCall, true);
    m_port->clearError();
    if (!m_port->open(QIODevice::WriteOnly)) {
        const PortStatus failed = PortStatus::Failure(
            DescribeOpenFailure(m_port->error(), m_port->errorString(), m_devicePath));
        m_port->clearError();
        return failed;
    }
#ifndef Q_OS_WIN
    if (!LockDeviceExclusively(static_cast<int>(m_port->handle()))) {
        m_port->close();
        return PortStatus::Failure(DescribeHeldPort(m_devicePath));
    }
#endif
    m_closedBecause.clear();
    return PortStatus::Success();
}

PortStatus QtSerialControl::Reopen()
{
    PortStatus status = SetCommPort(m_portNumber);
    if (status.ok && !m_lineSettings.isEmpty())
        status = SetSettings(m_lineSettings);
    if (status.ok)
        status = Open();
    if (status.ok)
        return status;
    return PortStatus::Failure(
        QStringLiteral("The port was closed after an earlier failure and cannot be opened again:")
        + LineBreak + status.description);
}

PortStatus QtSerialControl::Output(const QString &text)
{
    if (m_network)
        return m_network->Output(text);
    if (!m_port->isOpen()) {
        if (m_closedBecause.isEmpty())
            return PortStatus::Failure(QStringLiteral("The port is not open."));
        const PortStatus reopened = Reopen();
        if (!reopened.ok)
            return reopened;
    }

    const QScopedValueRollback inCall(m_inCall, true);
    m_port->clearError();
    m_queue.append(ToWindows1252(text));
    FeedPort();

    const SerialBackend::SerialPortError error = m_port->error();
    if (error != SerialBackend::NoError) {
        const QString why = DescribeWriteFailure(error, m_port->errorString(), m_devicePath);
        m_port->clearError();
        GiveUp(why);
        return PortStatus::Failure(why);
    }
    if (Pending() > 0 && !m_progressTimer->isActive()) {
        m_progress.Start(Pending(), m_clock.elapsed());
        m_progressTimer->start();
    }
    return PortStatus::Success();
}

void QtSerialControl::FeedPort()
{
    // The library reports the piece it sent from inside the write.
    if (m_feeding)
        return;
    const QScopedValueRollback feeding(m_feeding, true);
    while (m_port->isOpen() && m_port->bytesToWrite() == 0 && m_queueAt < m_queue.size()) {
        const qsizetype size = qMin(PieceBytes, m_queue.size() - m_queueAt);
        m_port->write(m_queue.constData() + m_queueAt, size);
        m_queueAt += size;
        // Where the kernel has no room, the library's own notifier sends it
        // later; a write now would only fail for want of room.
        if (!KernelHasRoom())
            break;
        m_port->flush();
    }
    if (m_queueAt == m_queue.size()) {
        m_queue.clear();
        m_queueAt = 0;
    }
}

bool QtSerialControl::KernelHasRoom() const
{
#ifdef Q_OS_WIN
    return true;
#else
    // A hang-up or error counts too: the write then tells what went wrong.
    pollfd watched{static_cast<int>(m_port->handle()), POLLOUT, 0};
    return ::poll(&watched, 1, 0) > 0 && watched.revents != 0;
#endif
}

void QtSerialControl::SetFailureHandler(FailureHandler handler)
{
    if (m_network)
        m_network->SetFailureHandler(handler);
    m_failureHandler = std::move(handler);
}

void QtSerialControl::Close()
{
    if (m_network)
        m_network->Close();
    m_progressTimer->stop();
    if (!m_port->isOpen())
        return;
    const QScopedValueRollback inCall(m_inCall, true);
    DrainQueue();
    m_port->close();
    m_queue.clear();
    m_queueAt = 0;
}

bool QtSerialControl::IsOpen() const
{
    return m_network ? m_network->IsOpen() : m_port->isOpen();
}

qint64 QtSerialControl::BytesPending() const
{
    return m_network ? m_network->BytesPending() : Pending();
}

qint64 QtSerialControl::Pending() const
{
    qint64 pending = m_queue.size() - m_queueAt + m_port->bytesToWrite();
#ifndef Q_OS_WIN
    int kernelQueue = 0;
    if (m_port->isOpen() && ::ioctl(static_cast<int>(m_port->handle()), TIOCOUTQ, &kernelQueue) == 0)
        pending += kernelQueue;
#endif
    return pending;
}

void QtSerialControl::WatchProgress()
{
    // Once the kernel has taken everything, the rest is the line's business.
    if (!m_port->isOpen() || m_queue.size() - m_queueAt + m_port->bytesToWrite() == 0) {
        m_progressTimer->stop();
        return;
    }
    if (m_progress.Observe(Pending(), m_clock.elapsed())) {
        Report(m_devicePath + QStringLiteral(" has taken nothing for ") + QString::number(StallMs / 1000)
               + QStringLiteral(" seconds; ") + QString::number(m_queue.size() - m_queueAt + m_port->bytesToWrite())
               + QStringLiteral(" bytes are still waiting to be sent.") + LineBreak
               + QStringLiteral("They go out once it takes bytes again: check that the device is "
                                "connected and ready."));
    }
}

void QtSerialControl::TakeAsyncError(int error)
{
    // A call that met the error has reported it and cleared it already.
    if (m_inCall || !m_port->isOpen() || m_port->error() != error
        || (error != SerialBackend::WriteError && error != SerialBackend::ResourceError))
        return;
    const QString why = DescribeWriteFailure(static_cast<SerialBackend::SerialPortError>(error),
                                             m_port->errorString(), m_devicePath);
    m_port->clearError();
    GiveUp(why);
    Report(why);
}

void QtSerialControl::GiveUp(const QString &why)
{
    m_progressTimer->stop();
    // Whatever was queued is lost with the device; holding the port would
    // only fail the same way at every later write.
    m_port->close();
    m_queue.clear();
    m_queueAt = 0;
    m_closedBecause = why;
}

void QtSerialControl::Report(const QString &description) const
{
    if (m_failureHandler)
        m_failureHandler(description);
}

void QtSerialControl::DrainQueue()
{
    // No fixed bound: a slow line gets all the time it needs, as long as
    // bytes keep leaving; one that takes nothing for a while is given up on.
    OutputProgress progress(StallMs);
    QElapsedTimer clock;
    clock.start();
    qint64 pending = Pending();
    progress.Start(pending, 0);
    while (pending > 0 && !progress.Stalled()) {
        FeedPort();
        if (m_port->bytesToWrite() > 0) {
            const bool wrote = m_port->waitForBytesWritten(WatchMs);
            const SerialBackend::SerialPortError error = m_port->error();
            if (!wrote && (error == SerialBackend::WriteError || error == SerialBackend::ResourceError))
                return;  // the device has gone
            m_port->clearError();
        } else {
            // Only the kernel's queue is left; it leaves at the line's pace.
            QThread::msleep(DrainPollMs);
        }
        pending = Pending();
        static_cast<void>(progress.Observe(pending, clock.elapsed()));
    }
}
