#pragma once

#include "linesettings.h"
#include "networkport.h"
#include "portkind.h"
#include "telnetcomport.h"

#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QTcpSocket>

#include <memory>

// A port behind a serial server on the network (see networkport.h), over
// one TCP connection that Open makes within a bounded wait, name lookup
// included, and tells why it could not (refused, unreachable, timed out,
// name not found, closed or reset during set-up, busy with another client).
//
// The port is write-only: whatever the server sends is read as it arrives
// and thrown away, apart from the first words of a server that closes during
// set-up (they may say it is busy) and, over RFC 2217, the Telnet commands,
// which are answered. A connection the server closes is seen while the
// console idles or at the next look, and reported through the broken handler.
class NetworkPortKind : public PortKind
{
public:
    ~NetworkPortKind() override;

    [[nodiscard]] QString Name() const override { return NetworkPortText(m_address); }
    [[nodiscard]] PortStatus SetSettings(const QString &settings) override;
    [[nodiscard]] PortStatus Open() override;
    [[nodiscard]] PortStatus Close() override;
    [[nodiscard]] bool IsOpen() const override;
    void SetBrokenHandler(BrokenHandler handler) override { m_broken = std::move(handler); }

    [[nodiscard]] QIODevice &Device() override { return m_socket; }
    void Flush() override { static_cast<void>(m_socket.flush()); }
    [[nodiscard]] qsizetype PieceBytes() const override;
    [[nodiscard]] qint64 SystemQueue() const override { return 0; }
    [[nodiscard]] QString StallAdvice() const override;
    void Look() override;

protected:
    explicit NetworkPortKind(NetworkPort address);

    [[nodiscard]] const NetworkPort &Address() const { return m_address; }
    [[nodiscard]] const LineSettings &Line() const { return m_line; }
    [[nodiscard]] QTcpSocket &Socket() { return m_socket; }
    // Whether the port is closing, when nothing may be written any more.
    [[nodiscard]] bool Closing() const { return m_closing; }
    // What the server said: the words kept for a report, the rest dropped.
    void Heard(QByteArrayView data);

private:
    // The protocol's own set-up once connected, within the deadline.
    [[nodiscard]] virtual PortStatus SetUp(const QDeadlineTimer &deadline) = 0;
    // Takes what the server sent.
    virtual void Take(QByteArrayView bytes) = 0;

    [[nodiscard]] PortStatus Connect(const QDeadlineTimer &deadline);
    void ReadIncoming();
    // Reads what the server sends, answering nothing, until it closes or the
    // deadline.
    void DropIncomingUntil(const QDeadlineTimer &deadline);
    void TakeEnd();
    [[nodiscard]] QString DescribeEnd() const;

    const NetworkPort m_address;
    QTcpSocket m_socket;
    LineSettings m_line;
    BrokenHandler m_broken;
    QElapsedTimer m_connected;
    QByteArray m_banner;
    bool m_inService = false;
    // While closing, what the server sends goes unanswered.
    bool m_closing = false;
};

// The port's kind for an address, by its protocol.
[[nodiscard]] std::unique_ptr<PortKind> MakeNetworkPortKind(const NetworkPort &address);
