#pragma once

// A broker connection driven by the program's event loop: the library's
// socket is watched with socket notifiers and its keep-alive by a timer, so
// no thread of the library's own runs. A lost connection is made again with
// growing pauses; the last will is left with the broker at each connect.

#include "brokeraddress.h"

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

struct mosquitto;
struct mosquitto_message;
class QSocketNotifier;

class MqttClient final : public QObject
{
    Q_OBJECT

public:
    struct Will
    {
        QString topic;
        QByteArray payload;
    };

    MqttClient(BrokerAddress address, const QString &clientId, Will will, QObject *parent = nullptr);
    ~MqttClient() override;

    // Connects, and keeps connecting until Stop.
    void Start();
    // Sends what is queued and leaves the broker without its last will.
    void Stop();

    // At least once. False when the library refused it (not connected, or
    // the topic is not one); the caller says so where it can.
    bool Publish(const QString &topic, const QByteArray &payload, bool retain);
    bool Subscribe(const QString &pattern);

Q_SIGNALS:
    void Connected();
    void MessageArrived(const QString &topic, const QByteArray &payload);
    // The connection failed or was lost; another try follows.
    void ConnectionLost(const QString &why);

private:
    static void OnConnect(mosquitto *, void *self, int result);
    static void OnMessage(mosquitto *, void *self, const mosquitto_message *message);

    void Connect();
    void Watch();
    void Unwatch();
    void Lost(const QString &why);
    // After each library call: notify on writable only while it has
    // something to write.
    void UpdateWriteWatch();
    void Read();
    void Write();
    void KeepAlive();
    // A loop step's result: a lost connection, or what to watch next.
    void AfterStep(int result);

    const BrokerAddress m_address;
    const Will m_will;
    mosquitto *const m_client;
    std::unique_ptr<QSocketNotifier> m_readable;
    std::unique_ptr<QSocketNotifier> m_writable;
    QTimer m_keepAlive;
    QTimer m_retry;
    int m_retryMs;
    bool m_started = false;
};
