#pragma once

#include "networkport.h"
#include "telnetcomport.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

class QTcpServer;
class QTcpSocket;

// The sign's end of a network port: listens as a serial server does, on raw
// TCP or with the Telnet COM port option (RFC 2217), and hands on the bytes
// the console sends as the pseudo-terminal does. One client at a time: a
// second is told that the sign is busy and closed, as a serial server does.
// With RFC 2217 the line settings the client asks for are taken and
// answered; the sign has no line to set.
class NetworkSign : public QObject
{
    Q_OBJECT

public:
    explicit NetworkSign(NetworkPort address, QObject *parent = nullptr);
    ~NetworkSign() override;

    // Starts listening; false with the reason in `errorString` when the
    // address cannot be had.
    [[nodiscard]] bool listen(QString *errorString);

    // What a busy sign tells a second client before it closes.
    static constexpr char BusyText[] = "Busy with another client\r\n";

Q_SIGNALS:
    void received(const QByteArray &bytes);

private:
    void takeConnection();
    void readClient();
    // True while the present client is still connected. A client that has
    // just closed, and whose close has not been read yet, is let go here, so
    // that its own reconnection is not taken for a second client.
    [[nodiscard]] bool clientStillConnected();

    const NetworkPort m_address;
    QTcpServer *const m_server;
    QPointer<QTcpSocket> m_client;
    TelnetReader m_telnet;
};
