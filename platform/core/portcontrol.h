#pragma once

#include "outputprogress.h"
#include "portkind.h"
#include "serialcontrol.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>

// The serial-port control for every kind of port. Choosing a port number
// chooses its kind once (see portkind.h): a local device, or a serial server
// on the network when the port's entry holds an address (see
// networkport.h). Whatever the kind, output takes one path:
//
// Output never waits for the line: the system gets what it takes at once,
// the rest goes out in order, in small pieces so that progress shows on
// every kind of line, from the event loop or from Drain. Only a port that
// takes nothing for a while is reported, once, through the failure handler.
// A port that went away (a device unplugged, a connection closed) is closed;
// the next Output chooses the port again by its number, so a replugged
// adapter or a restarted server works without a restart.
class PortControl final : public SerialControl
{
public:
    PortControl();
    ~PortControl() override;
    PortControl(const PortControl &) = delete;
    PortControl &operator=(const PortControl &) = delete;

    [[nodiscard]] PortStatus SetCommPort(int n) override;
    [[nodiscard]] PortStatus SetSettings(const QString &settings) override;
    [[nodiscard]] PortStatus Open() override;
    [[nodiscard]] PortStatus Output(const QString &text) override;
    void SetFailureHandler(FailureHandler handler) override;
    void Close() override;
    [[nodiscard]] bool IsOpen() const override;
    [[nodiscard]] qint64 BytesPending() const override { return Pending(); }

    // For a caller without an event loop (a script's run): sends queued
    // output, waiting, until no more than `leaveAtMost` bytes are pending,
    // the deadline passes or `stopWaiting` says so (it is asked at least
    // every few tens of milliseconds). Fails, reporting nothing through the
    // failure handler, when the port takes nothing for the stall time or
    // goes away; the port then stays open or is closed as Output leaves it.
    [[nodiscard]] PortStatus Drain(qint64 leaveAtMost, const QDeadlineTimer &deadline,
                                   const std::function<bool()> &stopWaiting = {});
    // Closes after a drain that ends by the deadline at the latest. Fails
    // where the drain failed or the close found the last output lost.
    [[nodiscard]] PortStatus CloseWithin(const QDeadlineTimer &deadline);
    // Bytes Output took that have not yet left: this control's queue, the
    // device's buffer and what the system must still send (see portkind.h).
    [[nodiscard]] qint64 Pending() const;

    // The port the chosen number opens: the device, links resolved, or the
    // server's address; empty before a port has been chosen.
    [[nodiscard]] QString DevicePath() const { return m_kind ? m_kind->Name() : QString(); }

private:
    [[nodiscard]] PortStatus Reopen();
    // Hands the device the next piece of the queue once it has sent the last.
    void Feed();
    // Bytes not yet handed to the system.
    [[nodiscard]] qint64 HeldHere() const;
    void WatchProgress();
    void TakeBroken(const QString &why);
    // A failure met inside a call, taken for the call to report.
    [[nodiscard]] QString TakeBrokenInCall();
    // Closes the port for good reason; the next Output opens it again.
    void GiveUp(const QString &why);
    void Report(const QString &description) const;
    [[nodiscard]] QString DescribeStall(bool givenUp) const;

    std::unique_ptr<PortKind> m_kind;
    QTimer m_progressTimer;
    OutputProgress m_progress;
    QElapsedTimer m_clock;
    FailureHandler m_failureHandler;
    int m_portNumber = 0;
    QString m_lineSettings;
    // Why the port was closed behind the caller's back.
    QString m_closedBecause;
    QString m_brokenInCall;
    // Bytes Output queued, framed for the port; those before m_queueAt are
    // with the device already.
    QByteArray m_queue;
    qsizetype m_queueAt = 0;
    bool m_inService = false;
    bool m_feeding = false;
    // Failures the port meets inside a call are the call's to report.
    bool m_inCall = false;
};
