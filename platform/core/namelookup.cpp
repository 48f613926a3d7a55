#include "namelookup.h"

#include <QUrl>

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

#ifdef Q_OS_WIN
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <netdb.h>
#include <sys/socket.h>
#endif

namespace {

// The answer of a name lookup, shared with the thread that asks for it.
struct LookupAnswer
{
    std::mutex mutex;
    std::condition_variable given;
    bool done = false;
    bool found = false;
    sockaddr_storage address {};
};

} // namespace

QHostAddress LookUp(const QString &host, const QDeadlineTimer &deadline, QAbstractSocket::SocketError &error)
{
    const QHostAddress literal(host);
    if (!literal.isNull())
        return literal;
    const auto answer = std::make_shared<LookupAnswer>();
    std::thread([answer, name = QUrl::toAce(host)] {
#ifdef Q_OS_WIN
        WSADATA data;
        static_cast<void>(::WSAStartup(MAKEWORD(2, 2), &data));
#endif
        addrinfo hints {};
        hints.ai_family = AF_UNSPEC;
        hints.ai_socktype = SOCK_STREAM;
        addrinfo *list = nullptr;
        const bool found = ::getaddrinfo(name.constData(), nullptr, &hints, &list) == 0 && list != nullptr;
        const std::lock_guard lock(answer->mutex);
        if (found)
            std::memcpy(&answer->address, list->ai_addr, qMin<std::size_t>(list->ai_addrlen, sizeof answer->address));
        if (list != nullptr)
            ::freeaddrinfo(list);
        answer->found = found;
        answer->done = true;
        answer->given.notify_all();
    }).detach();
    std::unique_lock lock(answer->mutex);
    const std::chrono::milliseconds bound(qMax<qint64>(deadline.remainingTime(), 0));
    if (!answer->given.wait_for(lock, bound, [&answer] { return answer->done; })) {
        error = QAbstractSocket::SocketTimeoutError;
        return {};
    }
    if (!answer->found) {
        error = QAbstractSocket::HostNotFoundError;
        return {};
    }
    return QHostAddress(reinterpret_cast<const sockaddr *>(&answer->address));
}
