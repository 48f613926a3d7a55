#pragma once

#include "outputprogress.h"
#include "serialbackend.h"
#include "serialcontrol.h"

#include <QElapsedTimer>

#include <memory>

class NetworkSerialControl;

class QTimer;

// The serial-port control over the serial library (serialbackend.h). The
// port is opened write-only, without flow control, with DTR and RTS left as
// the driver sets them.
//
// A port another program holds is refused: its UUCP lock file with a live
// process id, checked before the serial library sees the device (which
// would take a foreign lock file for stale and remove it), and its flock(),
// taken on the open device. While open, the library's lock file and this
// control's flock() tell other programs in turn.
//
// Output never waits for the line: the kernel gets what it takes at once,
// the rest goes out from the event loop in order, in small pieces so that
// progress shows on every kind of line. Only a device that takes
// nothing for a while is reported, once, through the failure handler. A
// device that went away closes the port; the next Output chooses the port
// again by its number, so a replugged adapter works without a restart.
class QtSerialControl final : public SerialControl
{
public:
    QtSerialControl();
    ~QtSerialControl() override;
    QtSerialControl(const QtSerialControl &) = delete;
    QtSerialControl &operator=(const QtSerialControl &) = delete;

    [[nodiscard]] PortStatus SetCommPort(int n) override;
    [[nodiscard]] PortStatus SetSettings(const QString &settings) override;
    [[nodiscard]] PortStatus Open() override;
    [[nodiscard]] PortStatus Output(const QString &text) override;
    void SetFailureHandler(FailureHandler handler) override;
    void Close() override;
    [[nodiscard]] bool IsOpen() const override;
    [[nodiscard]] qint64 BytesPending() const override;

    // The device the chosen port opens, links resolved; empty before a port
    // has been chosen.
    [[nodiscard]] QString DevicePath() const { return m_devicePath; }

private:
    PortStatus Reopen();
    // Bytes not yet on the wire: this control's queue, the library's buffer
    // and the kernel's queue.
    [[nodiscard]] qint64 Pending() const;
    // Hands the library the next piece of the queue once it has sent the last.
    void FeedPort();
    [[nodiscard]] bool KernelHasRoom() const;
    void WatchProgress();
    void TakeAsyncError(int error);
    // Closes the port for good reason; the next Output opens it again.
    void GiveUp(const QString &why);
    void Report(const QString &description) const;
    // Waits while the device keeps taking the queued bytes.
    void DrainQueue();

    // Set while the chosen port is a network one; every operation goes there.
    std::unique_ptr<NetworkSerialControl> m_network;
    const std::unique_ptr<SerialBackend> m_port;
    const std::unique_ptr<QTimer> m_progressTimer;
    OutputProgress m_progress;
    QElapsedTimer m_clock;
    FailureHandler m_failureHandler;
    int m_portNumber = 0;
    QString m_lineSettings;
    QString m_devicePath;
    // Why the port was closed behind the caller's back.
    QString m_closedBecause;
    // Bytes Output queued; those before m_queueAt are with the library already.
    QByteArray m_queue;
    qsizetype m_queueAt = 0;
    bool m_feeding = false;
    // Errors the library raises inside a call are the call's to report.
    bool m_inCall = false;
};
