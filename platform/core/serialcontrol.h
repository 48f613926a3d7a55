#pragma once

#include <QString>

// Outcome of one serial-port operation. A failure carries a description the
// operator can act on (the system's reason, the device, what to do).
struct PortStatus
{
    bool ok = true;
    QString description;

    [[nodiscard]] static PortStatus Success() { return {}; }
    [[nodiscard]] static PortStatus Failure(QString why) { return {false, std::move(why)}; }
};

// The serial-port control: the few operations the console needs, in the order
// it uses them. The port is write-only; nothing is ever read back.
class SerialControl
{
public:
    virtual ~SerialControl() = default;

    // Chooses port n. Fails when n names no device on this system.
    [[nodiscard]] virtual PortStatus SetCommPort(int n) = 0;
    // Line settings as "baud,parity,data bits,stop bits", e.g. "9600,N,8,1".
    [[nodiscard]] virtual PortStatus SetSettings(const QString &settings) = 0;
    // Opens the chosen port for this program alone.
    [[nodiscard]] virtual PortStatus Open() = 0;
    // Sends the text, one byte per character in Windows-1252, and returns once
    // the bytes have been handed to the device.
    [[nodiscard]] virtual PortStatus Output(const QString &text) = 0;
    // Drains what is pending, then closes. Harmless when not open.
    virtual void Close() = 0;
    [[nodiscard]] virtual bool IsOpen() const = 0;
};
