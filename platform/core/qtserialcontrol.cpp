#include "qtserialcontrol.h"

#include "linesettings.h"
#include "portfailure.h"
#include "portnaming.h"
#include "windows1252.h"

#include <QFileInfo>
#include <QSerialPort>

namespace {

constexpr QChar LineBreak(13);

// How long the device may take no byte at all before a write gives up
// waiting. A working line takes bytes continuously at its baud rate, so only
// a stuck device (a pseudo-terminal nobody reads, a hung adapter) waits this
// long; what it did not take stays queued and goes out as it takes it.
constexpr int StallMs = 1000;

} // namespace

QtSerialControl::QtSerialControl()
    : m_port(std::make_unique<QSerialPort>())
{
}

QtSerialControl::~QtSerialControl()
{
    Close();
}

PortStatus QtSerialControl::SetCommPort(int n)
{
    if (m_port->isOpen())
        return PortStatus::Failure(QStringLiteral("The port is open already."));

    const QString path = PortDevicePath(n);
#ifdef Q_OS_WIN
    if (path.isEmpty())
        return PortStatus::Failure(DescribeMissingDevice(n, path));
    m_devicePath = path;
#else
    // exists() follows links, so a link to a device that is gone is missing.
    if (path.isEmpty() || !QFileInfo::exists(path))
        return PortStatus::Failure(DescribeMissingDevice(n, path));
    // The device's own name, not the link's: the serial library names its
    // lock file after the path it opens, and other programs lock the device
    // under its own name.
    m_devicePath = QFileInfo(path).canonicalFilePath();
#endif
    m_port->setPortName(m_devicePath);
    return PortStatus::Success();
}

PortStatus QtSerialControl::SetSettings(const QString &settings)
{
    const ParsedLineSettings parsed = ParseLineSettings(settings);
    if (!parsed.ok())
        return PortStatus::Failure(parsed.problem);

    const LineSettings &line = parsed.settings;
    const bool applied = m_port->setBaudRate(line.baudRate)
        && m_port->setParity(line.parity)
        && m_port->setDataBits(line.dataBits)
        && m_port->setStopBits(line.stopBits)
        && m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!applied) {
        return PortStatus::Failure(
            DescribeSettingsFailure(m_port->error(), m_port->errorString(), settings));
    }
    return PortStatus::Success();
}

PortStatus QtSerialControl::Open()
{
    if (m_devicePath.isEmpty())
        return PortStatus::Failure(QStringLiteral("No port has been chosen."));
    if (m_port->isOpen())
        return PortStatus::Success();

    m_port->clearError();
    if (!m_port->open(QIODevice::WriteOnly)) {
        const PortStatus failed = PortStatus::Failure(
            DescribeOpenFailure(m_port->error(), m_port->errorString(), m_devicePath));
        m_port->clearError();
        return failed;
    }
    m_closedBecause.clear();
    return PortStatus::Success();
}

PortStatus QtSerialControl::Output(const QString &text)
{
    if (!m_port->isOpen()) {
        if (!m_closedBecause.isEmpty()) {
            return PortStatus::Failure(QStringLiteral("The port was closed after an earlier failure:")
                                       + LineBreak + m_closedBecause);
        }
        return PortStatus::Failure(QStringLiteral("The port is not open."));
    }

    const QByteArray bytes = ToWindows1252(text);
    m_port->clearError();
    const qint64 queued = m_port->write(bytes);
    const bool drained = queued == bytes.size() && DrainQueue();

    const QSerialPort::SerialPortError error = m_port->error();
    if (error == QSerialPort::NoError && drained)
        return PortStatus::Success();

    // The device stopped taking bytes; what it has not taken stays queued.
    if (error == QSerialPort::NoError || error == QSerialPort::TimeoutError) {
        m_port->clearError();
        return PortStatus::Failure(m_devicePath + QStringLiteral(" has taken nothing for a while; ")
                                   + QString::number(m_port->bytesToWrite())
                                   + QStringLiteral(" bytes are still waiting to be sent.") + LineBreak
                                   + QStringLiteral("Check that the device is connected and ready."));
    }

    const QString why = DescribeWriteFailure(error, m_port->errorString(), m_devicePath);
    m_port->clearError();
    if (error == QSerialPort::ResourceError) {
        // The device is gone for good; holding the port would only fail the
        // same way at every later write.
        m_port->close();
        m_closedBecause = why;
    }
    return PortStatus::Failure(why);
}

void QtSerialControl::Close()
{
    if (!m_port->isOpen())
        return;
    // Bytes the device did not take in Output still get a last chance.
    DrainQueue();
    m_port->close();
}

bool QtSerialControl::IsOpen() const
{
    return m_port->isOpen();
}

bool QtSerialControl::DrainQueue()
{
    // Each wait hands over one chunk; a long text takes several.
    while (m_port->bytesToWrite() > 0) {
        if (!m_port->waitForBytesWritten(StallMs))
            return m_port->bytesToWrite() == 0;
    }
    return true;
}
