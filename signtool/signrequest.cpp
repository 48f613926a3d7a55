#include "signrequest.h"

#include "presentation.h"

#include <QJsonDocument>
#include <QJsonObject>

namespace {

const QString BoardKey = QStringLiteral("board");
const QString BrightnessKey = QStringLiteral("brightness");
const QString PresentationKey = QStringLiteral("presentation");
const QString MessageKey = QStringLiteral("message");

// A decimal field as given: a text as it stands, a whole number in digits.
// A fraction is written out as such, for the field check to refuse.
std::optional<QString> DecimalField(const QJsonValue &value)
{
    if (value.isString())
        return value.toString();
    if (value.isDouble())
        return QString::number(value.toDouble(), 'g', 17);
    return std::nullopt;
}

std::optional<std::int16_t> PresentationField(const QJsonValue &value)
{
    if (value.isString())
        return PresentationFromName(value.toString());
    if (value.isDouble()) {
        const double index = value.toDouble();
        if (index >= 0 && index < PresentationNames().size() && index == static_cast<int>(index))
            return static_cast<std::int16_t>(index);
    }
    return std::nullopt;
}

} // namespace

SignRequestReading ReadSignRequest(const QByteArray &body, const SignRequest &base)
{
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(body, &error);
    if (error.error != QJsonParseError::NoError)
        return {std::nullopt,
                QStringLiteral("not JSON: %1 at offset %2").arg(error.errorString()).arg(error.offset)};
    if (!document.isObject())
        return {std::nullopt, QStringLiteral("not a JSON object")};

    SignRequest request = base;
    const QJsonObject object = document.object();
    for (auto it = object.begin(); it != object.end(); ++it) {
        const QString &key = it.key();
        if (key == BoardKey || key == BrightnessKey) {
            const std::optional<QString> text = DecimalField(it.value());
            if (!text)
                return {std::nullopt, QStringLiteral("\"%1\" is not a number or a text").arg(key)};
            (key == BoardKey ? request.fields.boardNum : request.fields.bright) = *text;
        } else if (key == PresentationKey) {
            const std::optional<std::int16_t> index = PresentationField(it.value());
            if (!index)
                return {std::nullopt, QStringLiteral("\"presentation\" is none of %1, or 0 to 5")
                                          .arg(PresentationNames().join(QStringLiteral(", ")))};
            request.fields.present = *index;
        } else if (key == MessageKey) {
            if (!it.value().isString())
                return {std::nullopt, QStringLiteral("\"message\" is not a text")};
            request.message = it.value().toString();
        } else {
            return {std::nullopt, QStringLiteral("unknown key \"%1\"").arg(key)};
        }
    }
    return {request, {}};
}

SignRequestReading ReadMessageBody(const QByteArray &body, const SignRequest &base)
{
    if (body.trimmed().startsWith('{'))
        return ReadSignRequest(body, base);
    SignRequest request = base;
    request.message = QString::fromUtf8(body);
    return {request, {}};
}

QByteArray WriteSignRequest(const SignRequest &request)
{
    const QJsonObject object {
        {BoardKey, request.fields.boardNum},
        {BrightnessKey, request.fields.bright},
        {PresentationKey, request.fields.present},
        {MessageKey, request.message},
    };
    return QJsonDocument(object).toJson(QJsonDocument::Compact);
}
