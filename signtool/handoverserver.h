#pragma once

// The port holder's side of the hand-over: listens on the port's local
// socket, takes requests from programs of the same user only, checks their
// fields as the console does and queues what passes behind the holder's own
// strings, answering as the hand-over protocol says.

#include <QObject>
#include <QString>

class DeliveryQueue;
class QLocalServer;
class QLocalSocket;

class HandOverServer final : public QObject
{
    Q_OBJECT

public:
    HandOverServer(DeliveryQueue &queue, int port, QObject *parent = nullptr);
    ~HandOverServer() override;

    // Starts listening; the reason when the socket cannot be made (the port
    // is still held, only not shared).
    [[nodiscard]] QString Listen();

Q_SIGNALS:
    // A handed-over string has been queued for the port.
    void StringArrived();

private:
    void Accept();
    void ReadRequests(QLocalSocket *peer);
    void Take(QLocalSocket *peer, const QByteArray &line);

    DeliveryQueue &m_queue;
    const QString m_name;
    QLocalServer *const m_server;
};

// True when the program at the other end of the connection runs as this
// one's user. Where the system cannot tell, the socket's own permissions
// are the only guard.
[[nodiscard]] bool PeerIsSameUser(qintptr socketDescriptor);
