#include "networksign.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>

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
        if (m_client) {
            socket->write(BusyText);
            socket->disconnectFromHost();
            continue;
        }
        m_client = socket;
        m_telnet = TelnetReader();
        connect(socket, &QTcpSocket::readyRead, this, &NetworkSign::readClient);
        if (m_address.protocol == NetworkPort::Protocol::Rfc2217)
            socket->write(ComPortWelcome());
    }
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
    if (!reply.isEmpty())
        m_client->write(reply);
    if (!result.data.isEmpty())
        Q_EMIT received(result.data);
}
