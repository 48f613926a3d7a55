#include "mqtttopics.h"

#include "presentation.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

std::optional<QString> MqttTopics::BoardOfSet(const QString &topic) const
{
    const QString head = prefix + QLatin1Char('/');
    const QString tail = QStringLiteral("/set");
    if (!topic.startsWith(head) || !topic.endsWith(tail))
        return std::nullopt;
    const QString board = topic.mid(head.size(), topic.size() - head.size() - tail.size());
    if (board.isEmpty() || board.contains(QLatin1Char('/')))
        return std::nullopt;
    return board;
}

QList<QPair<QString, QByteArray>> MqttTopics::Discovery(const QString &board) const
{
    const QString device = nodeId + QStringLiteral("_board") + board;
    const QJsonObject deviceInfo {
        {QStringLiteral("identifiers"), QJsonArray {device}},
        {QStringLiteral("name"), QStringLiteral("Vantor sign board %1").arg(board)},
        {QStringLiteral("manufacturer"), QStringLiteral("Vantor")},
    };
    const auto config = [&](const QString &component, const QString &field, QJsonObject entity) {
        entity.insert(QStringLiteral("unique_id"), device + QLatin1Char('_') + field);
        entity.insert(QStringLiteral("command_topic"), Set(board));
        entity.insert(QStringLiteral("state_topic"), State(board));
        entity.insert(QStringLiteral("availability_topic"), Status());
        entity.insert(QStringLiteral("device"), deviceInfo);
        return QPair<QString, QByteArray> {
            QStringLiteral("homeassistant/%1/%2/%3/config").arg(component, device, field),
            QJsonDocument(entity).toJson(QJsonDocument::Compact)};
    };
    QJsonArray presentations;
    for (const QString &name : PresentationNames())
        presentations.append(name);
    return {
        config(QStringLiteral("text"), QStringLiteral("message"),
               {{QStringLiteral("name"), QStringLiteral("Message")},
                {QStringLiteral("command_template"), QStringLiteral("{\"message\": {{ value | tojson }}}")},
                {QStringLiteral("value_template"), QStringLiteral("{{ value_json.message }}")}}),
        config(QStringLiteral("number"), QStringLiteral("brightness"),
               {{QStringLiteral("name"), QStringLiteral("Brightness")},
                {QStringLiteral("min"), 0},
                {QStringLiteral("max"), 99},
                {QStringLiteral("step"), 1},
                {QStringLiteral("command_template"), QStringLiteral("{\"brightness\": {{ value | int }}}")},
                {QStringLiteral("value_template"), QStringLiteral("{{ value_json.brightness }}")}}),
        config(QStringLiteral("select"), QStringLiteral("presentation"),
               {{QStringLiteral("name"), QStringLiteral("Presentation")},
                {QStringLiteral("options"), presentations},
                {QStringLiteral("command_template"), QStringLiteral("{\"presentation\": \"{{ value }}\"}")},
                {QStringLiteral("value_template"), QStringLiteral("{{ value_json.presentation }}")}}),
    };
}

QByteArray StatePayload(const SignRequest &shown)
{
    const QJsonObject state {
        {QStringLiteral("message"), shown.message},
        {QStringLiteral("brightness"), shown.fields.bright.toInt()},
        {QStringLiteral("presentation"), PresentationNames().value(shown.fields.present)},
    };
    return QJsonDocument(state).toJson(QJsonDocument::Compact);
}
