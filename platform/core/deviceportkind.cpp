#include "deviceportkind.h"

#include "linesettings.h"
#include "portfailure.h"
#include "portlock.h"

#include <QScopedValueRollback>

#ifndef Q_OS_WIN
#include <poll.h>
#include <sys/ioctl.h>
#endif

namespace {

// A pseudo-terminal frees the room a large write took only once all of it
// has been read: a slow reader would look stuck for seconds. Small pieces
// come back as room at the line's pace.
constexpr qsizetype DevicePieceBytes = 256;

} // namespace

DevicePortKind::DevicePortKind(const QString &devicePath)
    : m_path(devicePath)
{
    m_port.setPortName(devicePath);
    QObject::connect(&m_port, &SerialBackend::errorOccurred, &m_port,
                     [this](SerialBackend::SerialPortError error) { TakeError(error); });
}

PortStatus DevicePortKind::SetSettings(const QString &settings)
{
    const ParsedLineSettings parsed = ParseLineSettings(settings);
    if (!parsed.ok())
        return PortStatus::Failure(parsed.problem);

    const LineSettings &line = parsed.settings;
    const bool applied = m_port.setBaudRate(line.baudRate)
        && m_port.setParity(line.parity)
        && m_port.setDataBits(line.dataBits)
        && m_port.setStopBits(line.stopBits)
        && m_port.setFlowControl(SerialBackend::NoFlowControl);
    if (!applied)
        return PortStatus::Failure(DescribeSettingsFailure(m_port.error(), m_port.errorString(), settings));
    return PortStatus::Success();
}

PortStatus DevicePortKind::Open()
{
    if (m_port.isOpen())
        return PortStatus::Success();
    // Before the library sees the device: it would take another program's
    // lock file for stale and remove it.
    if (LiveLockHolder(Name()))
        return PortStatus::Failure(DescribeHeldPort(Name()));

    const QScopedValueRollback opening(m_opening, true);
    if (!m_port.open(QIODevice::WriteOnly))
        return PortStatus::Failure(DescribeOpenFailure(m_port.error(), m_port.errorString(), Name()));
#ifndef Q_OS_WIN
    if (!LockDeviceExclusively(static_cast<int>(m_port.handle()))) {
        m_port.close();
        return PortStatus::Failure(DescribeHeldPort(Name()));
    }
#endif
    return PortStatus::Success();
}

PortStatus DevicePortKind::Close()
{
    m_port.close();
    return PortStatus::Success();
}

void DevicePortKind::TakeError(SerialBackend::SerialPortError error)
{
    if (m_opening || (error != SerialBackend::WriteError && error != SerialBackend::ResourceError))
        return;
    const QString why = DescribeWriteFailure(error, m_port.errorString(), Name());
    if (m_broken)
        m_broken(why);
}

qsizetype DevicePortKind::PieceBytes() const
{
    return DevicePieceBytes;
}

bool DevicePortKind::HasRoom() const
{
#ifdef Q_OS_WIN
    return true;
#else
    // A hang-up or error counts too: the write then tells what went wrong.
    pollfd watched{static_cast<int>(m_port.handle()), POLLOUT, 0};
    return ::poll(&watched, 1, 0) > 0 && watched.revents != 0;
#endif
}

qint64 DevicePortKind::SystemQueue() const
{
    int kernelQueue = 0;
#ifndef Q_OS_WIN
    if (m_port.isOpen() && ::ioctl(static_cast<int>(m_port.handle()), TIOCOUTQ, &kernelQueue) != 0)
        kernelQueue = 0;
#endif
    return kernelQueue;
}

QString DevicePortKind::StallAdvice() const
{
    return QStringLiteral("check that the device is connected and ready.");
}
