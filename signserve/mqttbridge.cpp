#include "mqttbridge.h"

#include "deliveryqueue.h"
#include "mqttclient.h"
#include "signfields.h"

MqttBridge::MqttBridge(MqttClient &client, DeliveryQueue &queue, MqttTopics topics, QStringList announcedBoards,
                       Log log, QObject *parent)
    : QObject(parent)
    , m_client(client)
    , m_queue(queue)
    , m_topics(std::move(topics))
    , m_announced(announcedBoards.cbegin(), announcedBoards.cend())
    , m_log(std::move(log))
{
    connect(&m_client, &MqttClient::Connected, this, &MqttBridge::Announce);
    connect(&m_client, &MqttClient::MessageArrived, this, &MqttBridge::Take);
    connect(&m_client, &MqttClient::ConnectionLost, this,
            [this](const QString &why) { m_log(QStringLiteral("broker: %1; connecting again").arg(why)); });
}

void MqttBridge::Stop()
{
    (void)m_client.Publish(m_topics.Status(), OfflinePayload, true);
    m_client.Stop();
}

void MqttBridge::Announce()
{
    m_log(QStringLiteral("broker: connected"));
    (void)m_client.Publish(m_topics.Status(), OnlinePayload, true);
    (void)m_client.Subscribe(m_topics.SetPattern());
    for (const QString &board : std::as_const(m_announced))
        PublishDiscovery(board);
}

void MqttBridge::PublishDiscovery(const QString &board)
{
    for (const auto &[topic, config] : m_topics.Discovery(board))
        (void)m_client.Publish(topic, config, true);
}

void MqttBridge::Take(const QString &topic, const QByteArray &body)
{
    const std::optional<QString> board = m_topics.BoardOfSet(topic);
    if (!board)
        return;
    SignRequest base {DefaultSignFields(), {}};
    base.fields.boardNum = *board;
    SignRequestReading reading = ReadMessageBody(body, m_shown.value(*board, base));
    if (!reading.request) {
        Refuse(*board, reading.refusal);
        return;
    }
    SignRequest &request = *reading.request;
    // The topic names the board; a body may not send elsewhere.
    if (request.fields.boardNum != *board) {
        Refuse(*board, QStringLiteral("\"board\" differs from the topic's board"));
        return;
    }
    const QStringList refusals = CheckSignFields(request.fields);
    if (!refusals.isEmpty()) {
        Refuse(*board, refusals.join(QLatin1Char('\n')));
        return;
    }
    m_queue.Send(SignCommandText(request.fields, request.message),
                 [this, board = *board, request](const PortStatus &outcome) {
                     if (outcome.ok)
                         Shown(board, request);
                     else
                         Refuse(board, outcome.description);
                 });
}

void MqttBridge::Refuse(const QString &board, const QString &why)
{
    m_log(QStringLiteral("board %1: %2").arg(board, why));
    (void)m_client.Publish(m_topics.Error(board), why.toUtf8(), false);
}

void MqttBridge::Shown(const QString &board, const SignRequest &request)
{
    m_shown.insert(board, request);
    if (!m_announced.contains(board)) {
        m_announced.insert(board);
        PublishDiscovery(board);
    }
    (void)m_client.Publish(m_topics.State(board), StatePayload(request), true);
}
