#include "networksign.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

namespace {

// What one round of the event loop takes from the client: a flood is taken
// in pieces, and a signal to end is seen between them.
constexpr qint64 ReadPieceSize = 64 * 1024;
// Answers a client leaves unread beyond this are not sent: it gets no more
// of them, and the sign's memory does not grow.
constexpr qint64 ReplyBacklogLimit = 64 * 1024;

} // namespace

NetworkSign::NetworkSign(NetworkPort address, QObject *parent)
    : QObject(parent)
    , m_address(std::move(address))
    , m_server(new QTcpServer(this))
{
    connect(m_server, &QTcpServer::newConnection, this, &NetworkSign::takeConnection);
}

NetworkSign::~NetworkSign() = default;

bool NetworkSign::listen(QString *errorString)
{
    QHostAddress host;
    if (!host.setAddress(m_address.host)) {
        *errorString = QStringLiteral("%1 is no IP address to listen on").arg(m_address.host);
        return false;
    }
    if (!m_server->listen(host, m_address.port)) {
        *errorString = QStringLiteral("cannot listen on %1: %2").arg(NetworkPortText(m_address), m_server->errorString());
        return false;
    }
    return true;
}

void NetworkSign::takeConnection()
{
    while (QTcpSocket *socket = m_server->nextPendingConnection()) {
        connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
        if (clientStillConnected()) {
            socket->write(BusyText);
            socket->disconnectFromHost();
            continue;
        }
        m_client = socket;
        m_client->setReadBufferSize(ReadPieceSize);
        m_telnet = TelnetReader();
        connect(socket, &QTcpSocket::readyRead, this, &NetworkSign::readClient);
        if (m_address.protocol == NetworkPort::Protocol::Rfc2217)
            socket->write(ComPortWelcome());
    }
}

bool NetworkSign::clientStillConnected()
{
    // Reading what is waiting shows a close the loop has not come to yet:
    // the socket then leaves the connected state. A client that is still
    // sending is read a few pieces at most, and stays.
    constexpr int PiecesRead = 16;
    for (int i = 0; i < PiecesRead && m_client && m_client->state() == QAbstractSocket::ConnectedState
                    && m_client->waitForReadyRead(0);
         ++i) {
    }
    return m_client && m_client->state() == QAbstractSocket::ConnectedState;
}

void NetworkSign::readClient()
{
    if (!m_client)
        return;
    const QByteArray bytes = m_client->readAll();
    if (m_address.protocol == NetworkPort::Protocol::RawTcp) {
        Q_EMIT received(bytes);
        return;
    }
    const TelnetReader::Result result = m_telnet.Feed(bytes);
    QByteArray reply = result.reply;
    for (const QByteArray &command : result.comPortCommands)
        reply += ComPortAnswer(command);
    if (!reply.isEmpty() && m_client->bytesToWrite() < ReplyBacklogLimit)
        m_client->write(reply);
    if (!result.data.isEmpty())
        Q_EMIT received(result.data);
}
