#include "networkportkind.h"

#include "namelookup.h"
#include "networkfailure.h"

#include <QHostAddress>
#include <QScopedValueRollback>

#ifdef Q_OS_WIN
#include <winsock2.h>
#else
#include <sys/socket.h>
#endif

namespace {

// The longest a connection may take, name lookup and set-up included, before
// it counts as timed out; the console waits this long at most while its
// splash is up.
constexpr int ConnectMs = 3000;
// A busy server accepts and closes at once; a close this soon after the
// connection was made is reported as one made during set-up.
constexpr int SetUpMs = 250;
// The most read from the server at a time. Nothing it sends is kept, so
// this bounds the memory a talkative server can take.
constexpr qint64 ReadBytes = 16 * 1024;
// How many reads a look at the connection takes at most.
constexpr int LooksForEnd = 4;
// Pieces handed to the socket: the system takes them whole.
constexpr qsizetype SocketPieceBytes = 64 * 1024;
// The longest a close waits for the server to close its side.
constexpr int CloseMs = 1000;
// How long the server is given to pass the last bytes to its device before
// it reads the end of the connection.
constexpr int DeviceHandOverMs = 20;

void ShutDownSending(qintptr descriptor)
{
#ifdef Q_OS_WIN
    ::shutdown(static_cast<SOCKET>(descriptor), SD_SEND);
#else
    ::shutdown(static_cast<int>(descriptor), SHUT_WR);
#endif
}

class RawTcpKind final : public NetworkPortKind
{
public:
    explicit RawTcpKind(NetworkPort address) : NetworkPortKind(std::move(address)) {}

private:
    PortStatus SetUp(const QDeadlineTimer &) override { return PortStatus::Success(); }
    void Take(QByteArrayView bytes) override { Heard(bytes); }
};

class Rfc2217Kind final : public NetworkPortKind
{
public:
    explicit Rfc2217Kind(NetworkPort address) : NetworkPortKind(std::move(address)) {}

    [[nodiscard]] QByteArray Framed(QByteArrayView data) const override { return EscapeTelnetData(data); }

private:
    PortStatus SetUp(const QDeadlineTimer &deadline) override;
    void Take(QByteArrayView bytes) override;

    TelnetReader m_telnet;
};

PortStatus Rfc2217Kind::SetUp(const QDeadlineTimer &deadline)
{
    m_telnet = TelnetReader();
    Socket().write(ComPortOpening(Line()));
    // A busy server may take the option and then close; one that serves
    // answers the line settings. Whatever it sends, the deadline holds.
    while (!m_telnet.LineSettled() && !m_telnet.ComPortRefused()
           && Socket().state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()) {
        static_cast<void>(Socket().waitForReadyRead(static_cast<int>(deadline.remainingTime())));
    }
    if (m_telnet.ComPortRefused())
        return PortStatus::Failure(DescribeNoComPortOption(Address()));
    return PortStatus::Success();
}

void Rfc2217Kind::Take(QByteArrayView bytes)
{
    const TelnetReader::Result result = m_telnet.Feed(bytes);
    Heard(result.data);
    if (!result.reply.isEmpty() && !Closing())
        Socket().write(result.reply);
}

} // namespace

NetworkPortKind::NetworkPortKind(NetworkPort address)
    : m_address(std::move(address))
{
    m_socket.setReadBufferSize(ReadBytes);
    QObject::connect(&m_socket, &QTcpSocket::readyRead, &m_socket, [this] { ReadIncoming(); });
    QObject::connect(&m_socket, &QTcpSocket::disconnected, &m_socket, [this] { TakeEnd(); });
    QObject::connect(&m_socket, &QTcpSocket::errorOccurred, &m_socket, [this] { TakeEnd(); });
}

NetworkPortKind::~NetworkPortKind() = default;

PortStatus NetworkPortKind::SetSettings(const QString &settings)
{
    const ParsedLineSettings parsed = ParseLineSettings(settings);
    if (!parsed.ok())
        return PortStatus::Failure(parsed.problem);
    m_line = parsed.settings;
    return PortStatus::Success();
}

PortStatus NetworkPortKind::Connect(const QDeadlineTimer &deadline)
{
    QAbstractSocket::SocketError error = QAbstractSocket::UnknownSocketError;
    const QHostAddress host = LookUp(m_address.host, deadline, error);
    if (host.isNull() && error == QAbstractSocket::SocketTimeoutError)
        return PortStatus::Failure(DescribeLookupTimeout(m_address));
    if (host.isNull())
        return PortStatus::Failure(DescribeConnectFailure(m_address, error, {}));
    m_socket.connectToHost(host, m_address.port);
    if (m_socket.waitForConnected(static_cast<int>(qMax<qint64>(deadline.remainingTime(), 0))))
        return PortStatus::Success();
    error = m_socket.error() == QAbstractSocket::UnknownSocketError ? QAbstractSocket::SocketTimeoutError
                                                                     : m_socket.error();
    // A server that accepts and resets at once fails the connect itself;
    // the socket layer says so in one of these ways, depending on where in
    // its connect the reset lands.
    if (error == QAbstractSocket::RemoteHostClosedError || error == QAbstractSocket::UnsupportedSocketOperationError
        || error == QAbstractSocket::UnfinishedSocketOperationError)
        return PortStatus::Failure(DescribeEndDuringSetUp(m_address, m_banner));
    return PortStatus::Failure(DescribeConnectFailure(m_address, error, m_socket.errorString()));
}

PortStatus NetworkPortKind::Open()
{
    if (IsOpen())
        return PortStatus::Success();
    const QDeadlineTimer deadline(ConnectMs);
    m_socket.abort();
    m_banner.clear();
    m_inService = false;
    PortStatus status = Connect(deadline);
    if (status.ok) {
        m_connected.start();
        // The set-up's few bytes, and each Send, go out without waiting for
        // the server's acknowledgement of the last.
        m_socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        status = SetUp(deadline);
    }
    if (status.ok && m_socket.state() != QAbstractSocket::ConnectedState)
        status = PortStatus::Failure(DescribeEnd());
    else if (status.ok && deadline.hasExpired())
        status = PortStatus::Failure(
            DescribeConnectFailure(m_address, QAbstractSocket::SocketTimeoutError, m_socket.errorString()));
    if (!status.ok) {
        m_socket.abort();
        return status;
    }
    m_inService = true;
    return status;
}

PortStatus NetworkPortKind::Close()
{
    PortStatus status = PortStatus::Success();
    if (m_socket.state() == QAbstractSocket::ConnectedState)
        static_cast<void>(m_socket.flush());
    if (m_inService && m_socket.state() == QAbstractSocket::ConnectedState && m_socket.bytesToWrite() == 0) {
        // A server passes what it read to the device in its own time, and
        // one that reads the end of the connection together with the last
        // bytes may drop them (ser2net does, about once in twenty closes made
        // within a millisecond of the data). They are given a moment first.
        DropIncomingUntil(QDeadlineTimer(DeviceHandOverMs));
        if (m_socket.state() == QAbstractSocket::ConnectedState) {
            // A close with the server's words unread is a reset, and a reset
            // throws away what the server has not read yet. So the sending
            // side is shut, and the server's words are read until it closes
            // too, once it has read everything.
            ShutDownSending(m_socket.socketDescriptor());
            DropIncomingUntil(QDeadlineTimer(CloseMs));
        } else {
            // The server ended first (its device would not open, say): what
            // it was given last reached no device.
            status = PortStatus::Failure(DescribeEnd());
        }
    }
    m_inService = false;
    m_socket.abort();
    return status;
}

void NetworkPortKind::DropIncomingUntil(const QDeadlineTimer &deadline)
{
    // Nothing is answered now: an answer written after the sending side
    // was shut would fail, and the failed socket would reset the connection.
    // The server's end is the close's own business, not a break to report.
    const QScopedValueRollback closing(m_closing, true);
    const QScopedValueRollback inService(m_inService, false);
    while (m_socket.state() == QAbstractSocket::ConnectedState && !deadline.hasExpired()
           && m_socket.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
        ReadIncoming();
    }
}

bool NetworkPortKind::IsOpen() const
{
    return m_socket.state() == QAbstractSocket::ConnectedState;
}

void NetworkPortKind::Look()
{
    // A close shows behind what the server sent last (an RFC 2217 server
    // reports the line's state); a few reads find it, and a server that
    // never stops talking costs no more than they take.
    for (int look = 0; look < LooksForEnd && m_socket.state() == QAbstractSocket::ConnectedState
         && m_socket.waitForReadyRead(0);
         ++look) {
    }
}

void NetworkPortKind::ReadIncoming()
{
    char bytes[ReadBytes];
    for (qint64 got = m_socket.read(bytes, sizeof bytes); got > 0; got = m_socket.read(bytes, sizeof bytes)) {
        Take(QByteArrayView(bytes, got));
    }
}

void NetworkPortKind::Heard(QByteArrayView data)
{
    m_banner.append(data.first(qMin(data.size(), qMax<qsizetype>(0, BannerBytes - m_banner.size()))));
}

void NetworkPortKind::TakeEnd()
{
    if (!m_inService || m_socket.state() == QAbstractSocket::ConnectedState)
        return;
    m_inService = false;
    if (m_broken)
        m_broken(DescribeEnd());
}

QString NetworkPortKind::DescribeEnd() const
{
    if (!m_connected.isValid() || m_connected.elapsed() < SetUpMs)
        return DescribeEndDuringSetUp(m_address, m_banner);
    return DescribeLostConnection(m_address, m_socket.errorString());
}

qsizetype NetworkPortKind::PieceBytes() const
{
    return SocketPieceBytes;
}

QString NetworkPortKind::StallAdvice() const
{
    return QStringLiteral("check the server and the network.");
}

std::unique_ptr<PortKind> MakeNetworkPortKind(const NetworkPort &address)
{
    if (address.protocol == NetworkPort::Protocol::Rfc2217)
        return std::make_unique<Rfc2217Kind>(address);
    return std::make_unique<RawTcpKind>(address);
}
