#pragma once

#include "serialcontrol.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <functional>

class QIODevice;

// What kind of port a port number names, chosen once when the number is
// resolved: a local serial device, a raw TCP server or an RFC 2217 server.
// A kind knows how to open and close its port (locks for a device, the
// connection and its set-up for a server) and gives the output queue (see
// portcontrol.h) a QIODevice to write to. The queue alone decides what is
// written when, watches progress and drains; a kind never queues.
//
// To add a kind (another system's serial device, say), implement this
// interface over a QIODevice that:
//   - is open for writing between a successful Open() and Close();
//   - takes what write() is given into its own buffer and returns at once,
//     reports what is still held in bytesToWrite(), and emits
//     bytesWritten() for what it sent (Flush() below sends it);
//   - implements waitForBytesWritten(msecs), which the queue uses when no
//     event loop runs (a script's run, the drain at close).
// Failures reach the queue through the broken handler, never through the
// device's own error state, so that the queue needs no knowledge of the
// device's class.
class PortKind
{
public:
    // Called with an operator's description when the port can no longer take
    // output: the device went away, a write failed, the server closed the
    // connection. May be called from inside a write.
    using BrokenHandler = std::function<void(const QString &description)>;

    virtual ~PortKind() = default;

    // The port as messages name it: the device's path, or the server's
    // address as the port entry writes it.
    [[nodiscard]] virtual QString Name() const = 0;
    // Takes the line settings ("9600,N,8,1") before Open: a device sets its
    // line, an RFC 2217 server is asked to, a raw TCP server keeps its own.
    [[nodiscard]] virtual PortStatus SetSettings(const QString &settings) = 0;
    // Opens the port within the kind's own bound.
    [[nodiscard]] virtual PortStatus Open() = 0;
    // Closes at once; what the device still holds is dropped. Fails where
    // the close found the last output lost: a server that ended the
    // connection before the port ended it took it to no device.
    [[nodiscard]] virtual PortStatus Close() = 0;
    [[nodiscard]] virtual bool IsOpen() const = 0;
    virtual void SetBrokenHandler(BrokenHandler handler) = 0;

    // Where the queue writes; valid for the kind's life.
    [[nodiscard]] virtual QIODevice &Device() = 0;
    // The bytes written to Device() for these data bytes: the data itself,
    // or the data with the protocol's escaping.
    [[nodiscard]] virtual QByteArray Framed(QByteArrayView data) const { return data.toByteArray(); }
    // The most handed to Device() at a time, so that progress shows at the
    // line's pace.
    [[nodiscard]] virtual qsizetype PieceBytes() const = 0;
    // Hands what Device() holds to the system as far as it takes it now,
    // without waiting: one write for a piece the system has room for.
    virtual void Flush() = 0;
    // Whether the system takes more now; a device that has no room would
    // take a write attempt for a failure.
    [[nodiscard]] virtual bool HasRoom() const { return true; }
    // Bytes handed to the system that must still leave before the port may
    // close without losing them (a device's output queue); 0 where closing
    // loses nothing (a socket sends what it holds after the close).
    [[nodiscard]] virtual qint64 SystemQueue() const = 0;
    // Looks, without waiting, at what the port has told since the last look
    // (a server's close, say); what it finds goes to the broken handler. For
    // runs without an event loop, which would otherwise tell.
    virtual void Look() {}
    // The operator's advice for a port that takes nothing.
    [[nodiscard]] virtual QString StallAdvice() const = 0;
};
