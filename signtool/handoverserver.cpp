#include "handoverserver.h"

#include "deliveryqueue.h"
#include "handoverprotocol.h"
#include "signfields.h"
#include "signrequest.h"

#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>

#ifdef Q_OS_UNIX
#include <sys/socket.h>
#include <sys/types.h>
#include <unistd.h>
#endif

namespace {

// A request longer than any command line could give is no request.
constexpr qint64 MaxRequestBytes = 1024 * 1024;

void Answer(QLocalSocket *peer, const HandOverReply &reply)
{
    if (peer && peer->state() == QLocalSocket::ConnectedState)
        peer->write(WriteHandOverReply(reply));
}

} // namespace

bool PeerIsSameUser(qintptr socketDescriptor)
{
#if defined(Q_OS_LINUX)
    ucred credentials {};
    socklen_t size = sizeof credentials;
    return ::getsockopt(static_cast<int>(socketDescriptor), SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0
        && credentials.uid == ::geteuid();
#elif defined(Q_OS_UNIX)
    uid_t uid = 0;
    gid_t gid = 0;
    return ::getpeereid(static_cast<int>(socketDescriptor), &uid, &gid) == 0 && uid == ::geteuid();
#else
    Q_UNUSED(socketDescriptor);
    return true;
#endif
}

HandOverServer::HandOverServer(DeliveryQueue &queue, int port, QObject *parent)
    : QObject(parent)
    , m_queue(queue)
    , m_name(HandOverSocketName(port))
    , m_server(new QLocalServer(this))
{
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    connect(m_server, &QLocalServer::newConnection, this, &HandOverServer::Accept);
}

HandOverServer::~HandOverServer()
{
    m_server->close();
}

QString HandOverServer::Listen()
{
    if (m_name.isEmpty())
        return QStringLiteral("no runtime folder closed to other users");
    // A socket left under the name is a dead holder's, as this program
    // holds the device now; one that answers is left alone (listening
    // would replace it).
    QLocalSocket probe;
    probe.connectToServer(m_name);
    if (probe.waitForConnected(HandOverTiming::ProbeMs))
        return QStringLiteral("another program listens on %1").arg(m_name);
    QLocalServer::removeServer(m_name);
    if (!m_server->listen(m_name))
        return m_server->errorString();
#ifdef Q_OS_UNIX
    QFile::setPermissions(m_name, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadUser | QFile::WriteUser);
#endif
    return {};
}

void HandOverServer::Accept()
{
    while (QLocalSocket *peer = m_server->nextPendingConnection()) {
        connect(peer, &QLocalSocket::disconnected, peer, &QObject::deleteLater);
        if (!PeerIsSameUser(peer->socketDescriptor())) {
            peer->abort();
            continue;
        }
        connect(peer, &QLocalSocket::readyRead, this, [this, peer] { ReadRequests(peer); });
        ReadRequests(peer);
    }
}

void HandOverServer::ReadRequests(QLocalSocket *peer)
{
    while (peer->canReadLine()) {
        const QByteArray line = peer->readLine(MaxRequestBytes);
        if (!line.endsWith('\n'))
            break;
        Take(peer, line);
    }
    if (peer->bytesAvailable() >= MaxRequestBytes - 1)
        peer->abort();
}

void HandOverServer::Take(QLocalSocket *peer, const QByteArray &line)
{
    const SignRequest defaults {DefaultSignFields(), {}};
    SignRequestReading reading = ReadSignRequest(line, defaults);
    if (!reading.request) {
        Answer(peer, {HandOverReplyKind::Refused, reading.refusal});
        return;
    }
    SignRequest &request = *reading.request;
    const QStringList refusals = CheckSignFields(request.fields);
    if (!refusals.isEmpty()) {
        Answer(peer, {HandOverReplyKind::Refused, refusals.join(QLatin1Char('\n'))});
        return;
    }
    Answer(peer, {HandOverReplyKind::Queued, {}});
    Q_EMIT StringArrived();
    m_queue.Send(SignCommandText(request.fields, request.message),
                 [peer = QPointer<QLocalSocket>(peer)](const PortStatus &outcome) {
                     Answer(peer, outcome.ok ? HandOverReply {HandOverReplyKind::Sent, {}}
                                             : HandOverReply {HandOverReplyKind::Failed, outcome.description});
                 });
}
