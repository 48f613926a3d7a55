#pragma once

#include "linesettings.h"
#include "networkport.h"
#include "outputprogress.h"
#include "serialcontrol.h"
#include "telnetcomport.h"

#include <QElapsedTimer>

#include <memory>

class QTcpSocket;
class QTimer;

// The serial-port control for a port behind a serial server on the network
// (see networkport.h), over one TCP connection. Raw TCP passes the bytes
// unchanged and leaves the line to the server; RFC 2217 asks the server for
// the line settings through the Telnet COM port option and escapes the data.
//
// It behaves as the device control does: Open connects with a bounded wait
// and tells why it could not (refused, unreachable, timed out, name not
// found, busy with another client); Output queues and returns at once; a
// connection lost while idle or writing is reported through the failure
// handler, and the next Output connects again; Close sends what is queued
// while the server keeps taking it.
//
// The protocol is a few lines of Telnet over QTcpSocket rather than a
// general library: the console runs on one thread with Qt's event loop, and
// the libraries at hand bring an event loop of their own.
class NetworkSerialControl final : public SerialControl
{
public:
    explicit NetworkSerialControl(NetworkPort address);
    ~NetworkSerialControl() override;
    NetworkSerialControl(const NetworkSerialControl &) = delete;
    NetworkSerialControl &operator=(const NetworkSerialControl &) = delete;

    // The server was chosen with the control; any port number keeps it.
    [[nodiscard]] PortStatus SetCommPort(int n) override;
    [[nodiscard]] PortStatus SetSettings(const QString &settings) override;
    [[nodiscard]] PortStatus Open() override;
    [[nodiscard]] PortStatus Output(const QString &text) override;
    void SetFailureHandler(FailureHandler handler) override;
    void Close() override;
    [[nodiscard]] bool IsOpen() const override;
    [[nodiscard]] qint64 BytesPending() const override { return Pending(); }

    [[nodiscard]] const NetworkPort &Address() const { return m_address; }

private:
    [[nodiscard]] bool SpeaksComPort() const;
    // Waits for the server's first words: the answer to the COM port option,
    // or the text and close of a server that is busy.
    [[nodiscard]] PortStatus AwaitWelcome(int waitMs);
    // Reads what the server sent, answers its Telnet requests, and gives
    // back the plain data.
    QByteArray TakeIncoming();
    // Notices a connection the server has closed without the event loop.
    void CheckStillConnected();
    [[nodiscard]] qint64 Pending() const;
    void WatchProgress();
    void TakeAsyncError();
    void GiveUp(const QString &why);
    void Report(const QString &description) const;
    void DrainQueue();

    const NetworkPort m_address;
    const std::unique_ptr<QTcpSocket> m_socket;
    const std::unique_ptr<QTimer> m_progressTimer;
    LineSettings m_line;
    TelnetReader m_telnet;
    OutputProgress m_progress;
    QElapsedTimer m_clock;
    FailureHandler m_failureHandler;
    // Why the connection was closed behind the caller's back.
    QString m_closedBecause;
    // Open for the caller: a failure from now on is reported.
    bool m_inService = false;
    bool m_inCall = false;
};
