#include "listingformat.h"

#include "networkport.h"

#include <QJsonArray>
#include <QJsonObject>

namespace {

QJsonValue OptionalText(const QString &text)
{
    return text.isEmpty() ? QJsonValue(QJsonValue::Null) : QJsonValue(text);
}

QString HexId(quint16 id)
{
    return QStringLiteral("%1").arg(id, 4, 16, QLatin1Char('0'));
}

QJsonValue OptionalId(const std::optional<quint16> &id)
{
    return id ? QJsonValue(HexId(*id)) : QJsonValue(QJsonValue::Null);
}

void AddHolder(QJsonObject &object, const std::optional<PortHolder> &holder)
{
    object.insert(QStringLiteral("inUse"), holder.has_value());
    object.insert(QStringLiteral("holderPid"), holder ? QJsonValue(holder->pid) : QJsonValue(QJsonValue::Null));
    object.insert(QStringLiteral("holder"), holder ? QJsonValue(DescribeHolder(*holder)) : QJsonValue(QJsonValue::Null));
}

QJsonArray Numbers(const QList<int> &numbers)
{
    QJsonArray array;
    for (const int number : numbers)
        array.append(number);
    return array;
}

QString PortNames(const QList<int> &ports)
{
    QStringList names;
    for (const int port : ports)
        names.append(QStringLiteral("COM") + QString::number(port));
    return names.isEmpty() ? QStringLiteral("no COM number") : names.join(QStringLiteral(", "));
}

QString InUse(const std::optional<PortHolder> &holder)
{
    return holder ? QStringLiteral("yes, ") + DescribeHolder(*holder) : QStringLiteral("no");
}

// "  label: value", left out when there is no value.
void AddLine(QString &text, const char *label, const QString &value)
{
    if (!value.isEmpty())
        text += QStringLiteral("  %1 %2\n").arg(QLatin1String(label), -14).arg(value);
}

} // namespace

QJsonDocument ListingJson(const PortListing &listing)
{
    QJsonArray devices;
    for (const ListedDevice &listed : listing.devices) {
        const SerialDevice &device = listed.device;
        QJsonObject object {
            {QStringLiteral("device"), device.path},
            {QStringLiteral("stableNames"), QJsonArray::fromStringList(listed.stableNames)},
            {QStringLiteral("description"), OptionalText(device.description)},
            {QStringLiteral("manufacturer"), OptionalText(device.manufacturer)},
            {QStringLiteral("serialNumber"), OptionalText(device.serialNumber)},
            {QStringLiteral("vendorId"), OptionalId(device.vendorId)},
            {QStringLiteral("productId"), OptionalId(device.productId)},
            {QStringLiteral("ports"), Numbers(listed.ports)},
        };
        AddHolder(object, listed.holder);
        devices.append(object);
    }
    QJsonArray links;
    for (const ListedLink &listed : listing.otherLinks) {
        QJsonObject object {
            {QStringLiteral("port"), listed.link.port},
            {QStringLiteral("link"), listed.link.linkPath},
            {QStringLiteral("target"), listed.link.target},
            {QStringLiteral("device"), OptionalText(listed.link.resolved)},
        };
        AddHolder(object, listed.holder);
        links.append(object);
    }
    return QJsonDocument(QJsonObject {{QStringLiteral("devices"), devices}, {QStringLiteral("links"), links}});
}

QString TerminalSafe(const QString &text)
{
    QString safe;
    safe.reserve(text.size());
    for (const QChar c : text) {
        const char16_t code = c.unicode();
        if (code < 0x20 || (code >= 0x7F && code < 0xA0))
            safe += QStringLiteral("\\x") + QString::number(code, 16).rightJustified(2, u'0').toUpper();
        else
            safe += c;
    }
    return safe;
}

QString ListingText(const PortListing &listing)
{
    QString text;
    if (listing.devices.isEmpty())
        text += QStringLiteral("No serial devices found.\n");
    for (const ListedDevice &listed : listing.devices) {
        const SerialDevice &device = listed.device;
        text += QStringLiteral("%1  %2\n").arg(device.path, PortNames(listed.ports));
        for (const QString &name : listed.stableNames)
            AddLine(text, "stable name:", name);
        AddLine(text, "description:", device.description);
        AddLine(text, "manufacturer:", device.manufacturer);
        AddLine(text, "serial number:", device.serialNumber);
        if (device.vendorId || device.productId) {
            AddLine(text, "vendor:product",
                    (device.vendorId ? HexId(*device.vendorId) : QStringLiteral("?")) + QLatin1Char(':')
                        + (device.productId ? HexId(*device.productId) : QStringLiteral("?")));
        }
        AddLine(text, "in use:", InUse(listed.holder));
    }
    if (!listing.otherLinks.isEmpty())
        text += QStringLiteral("\nCOM numbers linked to other devices:\n");
    for (const ListedLink &listed : listing.otherLinks) {
        const PortLinkEntry &link = listed.link;
        const std::optional<qint64> sign = VirtualSignProcess(link.target);
        if (sign) {
            text += QStringLiteral("COM%1  %2 -> the virtual sign (process %3)")
                        .arg(QString::number(link.port), link.linkPath, QString::number(*sign));
        } else {
            text += QStringLiteral("COM%1  %2 -> %3").arg(QString::number(link.port), link.linkPath, TerminalSafe(link.target));
        }
        if (link.otherUsersSign)
            text += QStringLiteral("  (belongs to another user)\n");
        else if (sign && !link.resolved.isEmpty())
            text += QStringLiteral(" on %1  (in use: %2)\n").arg(link.resolved, InUse(listed.holder));
        else if (ParseNetworkPort(link.target))
            text += QStringLiteral("  (serial server on the network)\n");
        else if (link.resolved.isEmpty())
            text += QStringLiteral("  (leads nowhere)\n");
        else
            text += QStringLiteral("  (in use: %1)\n").arg(InUse(listed.holder));
    }
    return text;
}
