#include "portcontrol.h"

#include "deviceportkind.h"
#include "messageboxes.h"
#include "networkport.h"
#include "networkportkind.h"
#include "portfailure.h"
#include "portnaming.h"
#include "windows1252.h"

#include <QFileInfo>
#include <QIODevice>
#include <QScopedValueRollback>
#include <QThread>

namespace {

using OutputTiming::DrainPollMs;
using OutputTiming::StallMs;
using OutputTiming::WatchMs;

// The device a port number names, or why there is none.
std::unique_ptr<PortKind> DeviceKind(int n, PortStatus &status)
{
    const QString path = PortDevicePath(n);
#ifdef Q_OS_WIN
    if (path.isEmpty()) {
        status = PortStatus::Failure(DescribeMissingDevice(n, path));
        return {};
    }
    return std::make_unique<DevicePortKind>(path);
#else
    // exists() follows links, so a link to a device that is gone is missing.
    if (path.isEmpty() || !QFileInfo::exists(path)) {
        status = PortStatus::Failure(DescribeMissingDevice(n, path));
        return {};
    }
    // The device's own name, not the link's: lock files are named after the
    // device itself, by the serial library and by other programs alike.
    return std::make_unique<DevicePortKind>(QFileInfo(path).canonicalFilePath());
#endif
}

// The kind of port n, chosen by what its entry holds.
std::unique_ptr<PortKind> KindOfPort(int n, PortStatus &status)
{
    const QString linkText = n > 0 ? PortLinkText(n) : QString();
    if (!LooksLikeNetworkPort(linkText))
        return DeviceKind(n, status);
    const std::optional<NetworkPort> address = ParseNetworkPort(linkText);
    if (!address) {
        status = PortStatus::Failure(DescribeMalformedNetworkPort(linkText));
        return {};
    }
    return MakeNetworkPortKind(*address);
}

} // namespace

PortControl::PortControl()
    : m_progress(StallMs)
{
    m_clock.start();
    m_progressTimer.setInterval(WatchMs);
    QObject::connect(&m_progressTimer, &QTimer::timeout, &m_progressTimer, [this] { WatchProgress(); });
}

PortControl::~PortControl()
{
    Close();
}

PortStatus PortControl::SetCommPort(int n)
{
    if (IsOpen())
        return PortStatus::Failure(QStringLiteral("The port is open already."));
    m_portNumber = n;
    PortStatus status;
    m_kind = KindOfPort(n, status);
    if (!m_kind)
        return status;
    m_kind->SetBrokenHandler([this](const QString &why) { TakeBroken(why); });
    QIODevice &device = m_kind->Device();
    QObject::connect(&device, &QIODevice::bytesWritten, &device, [this] { Feed(); });
    return status;
}

PortStatus PortControl::SetSettings(const QString &settings)
{
    if (!m_kind)
        return PortStatus::Failure(QStringLiteral("No port has been chosen."));
    const PortStatus status = m_kind->SetSettings(settings);
    if (status.ok)
        m_lineSettings = settings;
    return status;
}

PortStatus PortControl::Open()
{
    if (!m_kind)
        return PortStatus::Failure(QStringLiteral("No port has been chosen."));
    if (IsOpen())
        return PortStatus::Success();
    const QScopedValueRollback inCall(m_inCall, true);
    const PortStatus status = m_kind->Open();
    static_cast<void>(TakeBrokenInCall());
    m_inService = status.ok;
    if (status.ok)
        m_closedBecause.clear();
    return status;
}

PortStatus PortControl::Reopen()
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

PortStatus PortControl::Output(const QString &text)
{
    if (m_inService) {
        // One look, without waiting, at a close the event loop has not
        // shown yet; a Send never waits for what the port says.
        const QScopedValueRollback inCall(m_inCall, true);
        m_kind->Look();
        if (const QString why = TakeBrokenInCall(); !why.isEmpty())
            GiveUp(why);
    }
    if (!m_inService) {
        if (m_closedBecause.isEmpty())
            return PortStatus::Failure(QStringLiteral("The port is not open."));
        const PortStatus reopened = Reopen();
        if (!reopened.ok)
            return reopened;
    }

    const QScopedValueRollback inCall(m_inCall, true);
    m_queue.append(m_kind->Framed(ToWindows1252(text)));
    Feed();
    if (const QString why = TakeBrokenInCall(); !why.isEmpty()) {
        GiveUp(why);
        return PortStatus::Failure(why);
    }
    if (HeldHere() > 0 && !m_progressTimer.isActive()) {
        m_progress.Start(Pending(), m_clock.elapsed());
        m_progressTimer.start();
    }
    return PortStatus::Success();
}

void PortControl::Feed()
{
    // The device reports the piece it sent from inside the write.
    if (m_feeding || !m_inService)
        return;
    const QScopedValueRollback feeding(m_feeding, true);
    QIODevice &device = m_kind->Device();
    // What the kind wrote itself (a Telnet server's answers) goes first; left
    // in the device, it would hold the queue until the event loop ran.
    if (device.bytesToWrite() > 0 && m_kind->HasRoom())
        m_kind->Flush();
    while (m_inService && device.bytesToWrite() == 0 && m_queueAt < m_queue.size()) {
        const qsizetype size = qMin(m_kind->PieceBytes(), m_queue.size() - m_queueAt);
        device.write(m_queue.constData() + m_queueAt, size);
        m_queueAt += size;
        // Where the system has no room, the device sends the piece later.
        if (!m_kind->HasRoom())
            break;
        m_kind->Flush();
    }
    if (m_queueAt == m_queue.size()) {
        m_queue.clear();
        m_queueAt = 0;
    }
}

qint64 PortControl::HeldHere() const
{
    if (!m_inService)
        return 0;
    return m_queue.size() - m_queueAt + m_kind->Device().bytesToWrite();
}

qint64 PortControl::Pending() const
{
    return m_inService ? HeldHere() + m_kind->SystemQueue() : 0;
}

void PortControl::SetFailureHandler(FailureHandler handler)
{
    m_failureHandler = std::move(handler);
}

PortStatus PortControl::Drain(qint64 leaveAtMost, const QDeadlineTimer &deadline,
                              const std::function<bool()> &stopWaiting)
{
    const QScopedValueRollback inCall(m_inCall, true);
    OutputProgress progress(StallMs);
    QElapsedTimer clock;
    clock.start();
    progress.Start(Pending(), 0);
    while (m_inService) {
        Feed();
        m_kind->Look();
        if (const QString why = TakeBrokenInCall(); !why.isEmpty()) {
            GiveUp(why);
            return PortStatus::Failure(why);
        }
        const qint64 pending = Pending();
        if (pending <= leaveAtMost || deadline.hasExpired() || (stopWaiting && stopWaiting()))
            break;
        if (progress.Observe(pending, clock.elapsed()))
            return PortStatus::Failure(DescribeStall(true));
        QIODevice &device = m_kind->Device();
        if (device.bytesToWrite() > 0)
            static_cast<void>(device.waitForBytesWritten(DrainPollMs));
        else
            QThread::msleep(DrainPollMs);  // only the system's queue is left; it leaves at the line's pace
    }
    return PortStatus::Success();
}

void PortControl::Close()
{
    static_cast<void>(CloseWithin(QDeadlineTimer(QDeadlineTimer::Forever)));
}

PortStatus PortControl::CloseWithin(const QDeadlineTimer &deadline)
{
    m_progressTimer.stop();
    // No fixed bound: a slow line gets all the time it needs, as long as
    // bytes keep leaving; one that takes nothing for a while is given up on.
    PortStatus status = m_inService ? Drain(0, deadline) : PortStatus::Success();
    m_inService = false;
    if (m_kind) {
        const PortStatus closed = m_kind->Close();
        if (status.ok)
            status = closed;
    }
    m_queue.clear();
    m_queueAt = 0;
    return status;
}

bool PortControl::IsOpen() const
{
    return m_inService && m_kind->IsOpen();
}

void PortControl::WatchProgress()
{
    // Once the system has taken everything, the rest is the line's business.
    if (HeldHere() == 0) {
        m_progressTimer.stop();
        return;
    }
    if (m_progress.Observe(Pending(), m_clock.elapsed()))
        Report(DescribeStall(false));
}

void PortControl::TakeBroken(const QString &why)
{
    if (m_inCall) {
        if (m_brokenInCall.isEmpty())
            m_brokenInCall = why;
        return;
    }
    // Closed from the event loop, not inside the device's own signal.
    QMetaObject::invokeMethod(
        &m_progressTimer,
        [this, why] {
            if (!m_inService)
                return;
            GiveUp(why);
            Report(why);
        },
        Qt::QueuedConnection);
}

QString PortControl::TakeBrokenInCall()
{
    return std::exchange(m_brokenInCall, QString());
}

void PortControl::GiveUp(const QString &why)
{
    m_progressTimer.stop();
    // Whatever was queued is lost with the port; holding it would only fail
    // the same way at every later write.
    m_inService = false;
    static_cast<void>(m_kind->Close());
    m_queue.clear();
    m_queueAt = 0;
    m_closedBecause = why;
}

void PortControl::Report(const QString &description) const
{
    if (m_failureHandler)
        m_failureHandler(description);
}

QString PortControl::DescribeStall(bool givenUp) const
{
    const QString head = m_kind->Name() + QStringLiteral(" has taken nothing for ") + QString::number(StallMs / 1000)
        + QStringLiteral(" seconds; ") + QString::number(HeldHere());
    if (givenUp)
        return head + QStringLiteral(" bytes were not sent.") + LineBreak + QStringLiteral("Please ")
            + m_kind->StallAdvice();
    return head + QStringLiteral(" bytes are still waiting to be sent.") + LineBreak
        + QStringLiteral("They go out once it takes bytes again: ") + m_kind->StallAdvice();
}
