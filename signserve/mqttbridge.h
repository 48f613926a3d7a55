#pragma once

// The served port's side of the broker: message bodies published for a
// board go through the same field checks as the console's and are queued
// for the port; what the board then shows is published retained, and what
// was refused or failed goes to the board's error topic and the log.

#include "mqtttopics.h"
#include "signrequest.h"

#include <QHash>
#include <QObject>
#include <QSet>

#include <functional>

class DeliveryQueue;
class MqttClient;

class MqttBridge final : public QObject
{
    Q_OBJECT

public:
    using Log = std::function<void(const QString &line)>;

    MqttBridge(MqttClient &client, DeliveryQueue &queue, MqttTopics topics, QStringList announcedBoards, Log log,
               QObject *parent = nullptr);

    // Leaves the broker saying so on the availability topic.
    void Stop();

private:
    void Announce();
    void PublishDiscovery(const QString &board);
    void Take(const QString &topic, const QByteArray &body);
    void Refuse(const QString &board, const QString &why);
    void Shown(const QString &board, const SignRequest &request);

    MqttClient &m_client;
    DeliveryQueue &m_queue;
    const MqttTopics m_topics;
    // Boards with discovery configs published; others join at their first message.
    QSet<QString> m_announced;
    // What each board was last sent: the base a body that leaves fields out
    // is laid over.
    QHash<QString, SignRequest> m_shown;
    const Log m_log;
};
