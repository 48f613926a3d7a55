#pragma once

#include "serialcontrol.h"

#include <memory>

class QSerialPort;

// The serial-port control over QSerialPort. The port is opened write-only,
// without flow control, with DTR and RTS left as the driver sets them.
//
// Output hands every byte to the device before it returns: QSerialPort only
// queues a write until the event loop runs, and a port closed before then
// would drop the bytes. A device that stops taking bytes is given up on
// after a short while, so it cannot hang the window.
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
    void Close() override;
    [[nodiscard]] bool IsOpen() const override;

    // The device the chosen port opens, links resolved; empty before a port
    // has been chosen.
    [[nodiscard]] QString DevicePath() const { return m_devicePath; }

private:
    // Waits while the device keeps taking the queued bytes; false when some
    // are still queued because it stopped taking them.
    bool DrainQueue();

    const std::unique_ptr<QSerialPort> m_port;
    QString m_devicePath;
    // Why the port was closed behind the caller's back, for later writes.
    QString m_closedBecause;
};
