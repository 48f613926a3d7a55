#pragma once

#include <QString>

#include <functional>

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
    // Queues the text, one byte per character in Windows-1252, behind what
    // is queued already, and returns at once; the bytes go out while the
    // event loop runs. A port closed by an earlier failure is opened again
    // first.
    [[nodiscard]] virtual PortStatus Output(const QString &text) = 0;
    // Called from the event loop with a description when output fails after
    // Output has returned: the device stopped taking bytes, or went away.
    using FailureHandler = std::function<void(const QString &description)>;
    virtual void SetFailureHandler(FailureHandler handler) = 0;
    // Drains what is pending while the device keeps taking it, then closes.
    // Harmless when not open.
    virtual void Close() = 0;
    [[nodiscard]] virtual bool IsOpen() const = 0;
    // Bytes Output has queued that the device has not taken yet; 0 once
    // all have left. A control that cannot tell counts queued as left.
    [[nodiscard]] virtual qint64 BytesPending() const { return 0; }
};
