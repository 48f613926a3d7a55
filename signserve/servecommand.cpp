#include "servecommand.h"

#include "brokeraddress.h"
#include "commandline.h"
#include "commport.h"
#include "deliveryqueue.h"
#include "exitstatus.h"
#include "handoverserver.h"
#include "messageboxes.h"
#include "mqttbridge.h"
#include "mqttclient.h"
#include "openstatus.h"
#include "serialcontrol.h"
#include "stopnotifier.h"

#include <QCoreApplication>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>

#include <memory>

namespace {

// The host and port in the ids a broker and Home Assistant know this server
// by: two machines serving COM5 stay apart.
QString NodeId(int port)
{
    QString host = QSysInfo::machineHostName();
    host.replace(QRegularExpression(QStringLiteral("[^A-Za-z0-9_-]")), QStringLiteral("_"));
    return QStringLiteral("vantor_sign_%1_com%2").arg(host).arg(port);
}

std::optional<BrokerAddress> BrokerFor(const ServeRequest &request, const std::function<void(const QString &)> &log)
{
    BrokerAddressReading reading = ReadBrokerAddress(request.brokerUrl);
    if (!reading.error.isEmpty()) {
        log(reading.error);
        return std::nullopt;
    }
    BrokerAddress &address = reading.address;
    address.caFile = request.caFile;
    if (!request.user.isEmpty())
        address.user = request.user;
    if (!request.passwordFile.isEmpty()) {
        QFile file(request.passwordFile);
        if (!file.open(QIODevice::ReadOnly)) {
            log(QStringLiteral("--password-file: %1").arg(file.errorString()));
            return std::nullopt;
        }
        address.password = QString::fromUtf8(file.readLine()).trimmed();
    }
    return address;
}

} // namespace

int RunServe(const ServeRequest &request, SerialControl &port, MessageBoxes &boxes,
             const std::function<void(const QString &line)> &log)
{
    std::optional<BrokerAddress> broker;
    if (!request.brokerUrl.isEmpty() && !(broker = BrokerFor(request, log)))
        return ExitStatus::Usage;

    const CommPortOutcome opened = OpenCommPort(request.portArgument, port, boxes);
    if (!opened.open)
        return ExitStatusForOpen(opened.failure);

    DeliveryQueue queue(port);
    port.SetFailureHandler([&](const QString &description) {
        log(WriteFailureMessage(opened.port, description).replace(LineBreak, QLatin1Char(' ')));
        queue.PortFailed(description);
    });
    HandOverServer handOver(queue, opened.port);
    if (const QString why = handOver.Listen(); !why.isEmpty())
        log(QStringLiteral("not shared with other programs: %1").arg(why));

    std::unique_ptr<MqttClient> client;
    std::unique_ptr<MqttBridge> bridge;
    if (broker) {
        const MqttTopics topics {request.topicPrefix, NodeId(opened.port)};
        client = std::make_unique<MqttClient>(*broker, topics.nodeId,
                                              MqttClient::Will {topics.Status(), OfflinePayload});
        bridge = std::make_unique<MqttBridge>(*client, queue, topics, request.announcedBoards, log);
        client->Start();
    }

    StopNotifier stop;
    QObject::connect(&stop, &StopNotifier::StopRequested, QCoreApplication::instance(), &QCoreApplication::quit);
    log(QStringLiteral("serving COM%1").arg(opened.port));
    QCoreApplication::exec();

    if (bridge)
        bridge->Stop();
    port.Close();
    return ExitStatus::Ok;
}
