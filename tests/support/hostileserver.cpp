#include "hostileserver.h"

#include "telnetcomport.h"

#include <QTest>

#include <cerrno>

#include <chrono>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using namespace TelnetCode;
constexpr int TickMs = 10;
constexpr char DeviceFailure[] = "Device open failure: Value or file not found\r\n";
// A flood ends after this long, so that a client that waits for its end
// shows as slow instead of hanging its test.
constexpr int FloodMs = 8000;

QByteArray Bytes(std::initializer_list<unsigned char> values)
{
    QByteArray bytes;
    for (const unsigned char value : values)
        bytes.append(static_cast<char>(value));
    return bytes;
}

// A server that takes the COM port option and has set the line (its answer
// to the stop bits is the last the client waits for).
QByteArray SetUpAnswer()
{
    return Bytes({Iac, Do, ComPortOption, Iac, SubBegin, ComPortOption, 104, 1, Iac, SubEnd});
}

QByteArray EveryOptionAsked()
{
    QByteArray asked;
    for (int option = 1; option < 256; ++option) {
        if (option != ComPortOption && option != Iac)
            asked += Bytes({Iac, Do, static_cast<unsigned char>(option)});
    }
    return asked;
}

} // namespace

HostileServer::HostileServer(Mode mode, Behaviour behaviour)
    : m_mode(mode)
    , m_behaviour(behaviour)
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0
        || ::listen(m_listener, 1) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr *>(&address), &length) != 0) {
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
        return;
    }
    m_port = ntohs(address.sin_port);
    m_thread = std::thread([this] { Serve(); });
}

HostileServer::~HostileServer()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_listener >= 0)
        ::close(m_listener);
}

QString HostileServer::Address() const
{
    return (m_mode == Mode::Telnet ? QStringLiteral("rfc2217://127.0.0.1:") : QStringLiteral("tcp://127.0.0.1:"))
        + QString::number(m_port);
}

void AddHostileModeRows()
{
    QTest::addColumn<HostileServer::Mode>("mode");
    QTest::newRow("raw TCP") << HostileServer::Mode::Raw;
    QTest::newRow("RFC 2217") << HostileServer::Mode::Telnet;
}

QByteArray HostileServer::Received() const
{
    const std::lock_guard lock(m_mutex);
    return m_received;
}

void HostileServer::Serve()
{
    pollfd listening{m_listener, POLLIN, 0};
    while (!m_stop) {
        if (::poll(&listening, 1, TickMs) <= 0)
            continue;
        const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_NONBLOCK | SOCK_CLOEXEC);
        if (client < 0)
            continue;
        Misbehave(client);
        ::close(client);
        m_closed = true;
    }
}

bool HostileServer::ReadFrom(int client)
{
    char bytes[65536];
    for (;;) {
        const ssize_t got = ::recv(client, bytes, sizeof bytes, 0);
        if (got == 0)
            return false;
        if (got < 0)
            return errno == EAGAIN;
        const std::lock_guard lock(m_mutex);
        m_received.append(bytes, got);
    }
}

void HostileServer::Misbehave(int client)
{
    if (m_behaviour == Behaviour::ResetDuringSetUp) {
        const linger resetAtClose{1, 0};
        ::setsockopt(client, SOL_SOCKET, SO_LINGER, &resetAtClose, sizeof resetAtClose);
        return;
    }
    const bool answers = m_mode == Mode::Telnet && m_behaviour != Behaviour::FloodDuringConnect
        && m_behaviour != Behaviour::EndlessSubnegotiation;
    QByteArray pending = answers ? SetUpAnswer() : QByteArray();
    QByteArray endless;
    switch (m_behaviour) {
    case Behaviour::EndlessSubnegotiation:
        pending += Bytes({Iac, SubBegin, ComPortOption});
        endless = QByteArray(65536, 'S');
        break;
    case Behaviour::OptionFlood:
        endless = EveryOptionAsked().repeated(64);
        break;
    case Behaviour::FloodDuringConnect:
    case Behaviour::FloodAfterSetUp:
        endless = QByteArray(65536, 'F');
        break;
    case Behaviour::NeverRead:
    case Behaviour::ResetDuringSetUp:
    case Behaviour::EndAfterData:
        break;
    }
    const auto floodEnds = std::chrono::steady_clock::now() + std::chrono::milliseconds(FloodMs);
    while (!m_stop) {
        if (std::chrono::steady_clock::now() > floodEnds)
            endless.clear();
        if (pending.isEmpty())
            pending = endless;
        if (!pending.isEmpty()) {
            const ssize_t sent = ::send(client, pending.constData(), static_cast<size_t>(pending.size()), MSG_NOSIGNAL);
            if (sent > 0)
                pending.remove(0, sent);
            else if (sent < 0 && errno != EAGAIN)
                return;
        }
        if (m_behaviour != Behaviour::NeverRead && !ReadFrom(client))
            return;
        if (m_behaviour == Behaviour::EndAfterData && Received().contains('\r')) {
            // As a server whose device would not open, once the client has
            // written.
            ::send(client, DeviceFailure, sizeof DeviceFailure - 1, MSG_NOSIGNAL);
            return;
        }
        pollfd watched{client, static_cast<short>(pending.isEmpty() ? 0 : POLLOUT), 0};
        if (m_behaviour != Behaviour::NeverRead)
            watched.events |= POLLIN;
        ::poll(&watched, 1, TickMs);
    }
}
