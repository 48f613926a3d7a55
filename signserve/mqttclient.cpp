#include "mqttclient.h"

#include <mosquitto.h>

#include <QSocketNotifier>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace {

// Seconds between pings when nothing else goes to the broker.
constexpr int KeepAliveSeconds = 30;
// The keep-alive timer's period: the library decides when to ping.
constexpr int LoopMiscMs = 1000;
// The pause before the first retry, doubled at each failure up to the most.
constexpr int FirstRetryMs = 500;
constexpr int MostRetryMs = 30000;
constexpr int QualityOfService = 1;

// The library wants its global state once per process.
void InitialiseLibraryOnce()
{
    static const int initialised = mosquitto_lib_init();
    Q_UNUSED(initialised);
}

QString Why(int result)
{
    return result == MOSQ_ERR_ERRNO ? QString::fromLocal8Bit(std::strerror(errno))
                                    : QString::fromUtf8(mosquitto_strerror(result));
}

} // namespace

MqttClient::MqttClient(BrokerAddress address, const QString &clientId, Will will, QObject *parent)
    : QObject(parent)
    , m_address(std::move(address))
    , m_will(std::move(will))
    , m_client((InitialiseLibraryOnce(), mosquitto_new(clientId.toUtf8().constData(), true, this)))
    , m_retryMs(FirstRetryMs)
{
    mosquitto_connect_callback_set(m_client, &MqttClient::OnConnect);
    mosquitto_message_callback_set(m_client, &MqttClient::OnMessage);
    m_keepAlive.setInterval(LoopMiscMs);
    connect(&m_keepAlive, &QTimer::timeout, this, &MqttClient::KeepAlive);
    m_retry.setSingleShot(true);
    connect(&m_retry, &QTimer::timeout, this, &MqttClient::Connect);

    if (!m_address.user.isEmpty()) {
        mosquitto_username_pw_set(m_client, m_address.user.toUtf8().constData(),
                                  m_address.password.isEmpty() ? nullptr : m_address.password.toUtf8().constData());
    }
    if (m_address.tls) {
        const QByteArray caFile = m_address.caFile.toLocal8Bit();
        mosquitto_tls_set(m_client, caFile.isEmpty() ? nullptr : caFile.constData(),
                          caFile.isEmpty() ? "/etc/ssl/certs" : nullptr, nullptr, nullptr, nullptr);
    }
    const QByteArray willTopic = m_will.topic.toUtf8();
    mosquitto_will_set(m_client, willTopic.constData(), static_cast<int>(m_will.payload.size()),
                       m_will.payload.constData(), QualityOfService, true);
}

MqttClient::~MqttClient()
{
    Unwatch();
    mosquitto_destroy(m_client);
}

void MqttClient::Start()
{
    m_started = true;
    Connect();
}

void MqttClient::Stop()
{
    m_started = false;
    m_retry.stop();
    if (m_readable) {
        mosquitto_disconnect(m_client);
        // The library writes what it can without waiting; what is left of a
        // slow connection is lost with it.
        for (int round = 0; round < 10 && mosquitto_want_write(m_client); ++round)
            mosquitto_loop_write(m_client, 1);
    }
    Unwatch();
}

bool MqttClient::Publish(const QString &topic, const QByteArray &payload, bool retain)
{
    const int result = mosquitto_publish(m_client, nullptr, topic.toUtf8().constData(),
                                         static_cast<int>(payload.size()), payload.constData(),
                                         QualityOfService, retain);
    UpdateWriteWatch();
    return result == MOSQ_ERR_SUCCESS;
}

bool MqttClient::Subscribe(const QString &pattern)
{
    const int result = mosquitto_subscribe(m_client, nullptr, pattern.toUtf8().constData(), QualityOfService);
    UpdateWriteWatch();
    return result == MOSQ_ERR_SUCCESS;
}

void MqttClient::OnConnect(mosquitto *, void *self, int result)
{
    auto *client = static_cast<MqttClient *>(self);
    if (result != 0) {
        client->Lost(QString::fromUtf8(mosquitto_connack_string(result)));
        return;
    }
    client->m_retryMs = FirstRetryMs;
    Q_EMIT client->Connected();
}

void MqttClient::OnMessage(mosquitto *, void *self, const mosquitto_message *message)
{
    auto *client = static_cast<MqttClient *>(self);
    Q_EMIT client->MessageArrived(QString::fromUtf8(message->topic),
                                  QByteArray(static_cast<const char *>(message->payload), message->payloadlen));
}

void MqttClient::Connect()
{
    if (!m_started)
        return;
    Unwatch();
    // Without a thread of the library's, the connection is begun without
    // waiting and finished from the event loop.
    const int result = mosquitto_connect_async(m_client, m_address.host.toUtf8().constData(), m_address.port,
                                               KeepAliveSeconds);
    if (result != MOSQ_ERR_SUCCESS) {
        Lost(Why(result));
        return;
    }
    Watch();
}

void MqttClient::Watch()
{
    const int socket = mosquitto_socket(m_client);
    if (socket < 0) {
        Lost(QStringLiteral("no connection"));
        return;
    }
    m_readable = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Read);
    m_writable = std::make_unique<QSocketNotifier>(socket, QSocketNotifier::Write);
    connect(m_readable.get(), &QSocketNotifier::activated, this, &MqttClient::Read);
    connect(m_writable.get(), &QSocketNotifier::activated, this, &MqttClient::Write);
    m_keepAlive.start();
    UpdateWriteWatch();
}

void MqttClient::Unwatch()
{
    m_keepAlive.stop();
    // A notifier may be the one whose signal is being handled; disabled at
    // once, it lets a new one watch the same descriptor.
    for (std::unique_ptr<QSocketNotifier> *notifier : {&m_readable, &m_writable}) {
        if (*notifier) {
            (*notifier)->setEnabled(false);
            notifier->release()->deleteLater();
        }
    }
}

void MqttClient::Lost(const QString &why)
{
    Unwatch();
    Q_EMIT ConnectionLost(why);
    if (!m_started)
        return;
    m_retry.start(m_retryMs);
    m_retryMs = std::min(m_retryMs * 2, MostRetryMs);
}

void MqttClient::UpdateWriteWatch()
{
    if (m_writable)
        m_writable->setEnabled(mosquitto_want_write(m_client));
}

void MqttClient::Read()
{
    AfterStep(mosquitto_loop_read(m_client, 1));
}

void MqttClient::Write()
{
    AfterStep(mosquitto_loop_write(m_client, 1));
}

void MqttClient::KeepAlive()
{
    AfterStep(mosquitto_loop_misc(m_client));
}

void MqttClient::AfterStep(int result)
{
    if (result != MOSQ_ERR_SUCCESS)
        Lost(Why(result));
    else
        UpdateWriteWatch();
}
