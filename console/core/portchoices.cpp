#include "portchoices.h"

#include "networkport.h"

#include <QStringList>

namespace {

QString PortNames(const QList<int> &ports)
{
    QStringList names;
    for (const int port : ports)
        names.append(QStringLiteral("COM") + QString::number(port));
    return names.isEmpty() ? QStringLiteral("no COM number yet") : names.join(QStringLiteral(", "));
}

QString Holding(const QString &holder)
{
    return holder.isEmpty() ? QStringLiteral("free") : QStringLiteral("in use by ") + holder;
}

PortChoice DeviceChoice(const ListedDevice &listed)
{
    const SerialDevice &device = listed.device;
    QString title = device.path;
    if (!device.description.isEmpty())
        title += QStringLiteral(" - ") + device.description;
    if (!device.manufacturer.isEmpty())
        title += QStringLiteral(" (") + device.manufacturer + u')';
    QString detail = PortNames(listed.ports) + QStringLiteral("; ") + Holding(listed.holder);
    if (!listed.stableNames.isEmpty())
        detail += QStringLiteral("; ") + listed.stableNames.first();
    return {title, detail, listed.stableNames.value(0, device.path), !listed.holder.isEmpty()};
}

std::optional<PortChoice> LinkChoice(const ListedLink &listed)
{
    const PortLinkEntry &link = listed.link;
    const QString named = QStringLiteral("COM") + QString::number(link.port);
    if (const std::optional<NetworkPort> server = ParseNetworkPort(link.target)) {
        return PortChoice{QStringLiteral("Serial server ") + NetworkPortText(*server),
                          named + QStringLiteral("; connects at the first Send"),
                          NetworkPortText(*server), false};
    }
    if (const std::optional<qint64> sign = VirtualSignProcess(link.target); sign && !link.resolved.isEmpty()) {
        // Through the sign's own entry, which the sign makes again each time
        // it starts, so the choice outlives this run of the sign.
        return PortChoice{QStringLiteral("Virtual sign (process %1) on %2").arg(QString::number(*sign), link.resolved),
                          named + QStringLiteral("; ") + Holding(listed.holder), link.linkPath,
                          !listed.holder.isEmpty()};
    }
    if (link.resolved.isEmpty())
        return std::nullopt;
    return PortChoice{link.resolved, named + QStringLiteral("; ") + Holding(listed.holder), link.resolved,
                      !listed.holder.isEmpty()};
}

} // namespace

QList<PortChoice> PortChoices(const PortListing &listing)
{
    QList<PortChoice> choices;
    for (const ListedDevice &device : listing.devices)
        choices.append(DeviceChoice(device));
    for (const ListedLink &link : listing.otherLinks) {
        if (const std::optional<PortChoice> choice = LinkChoice(link))
            choices.append(*choice);
    }
    return choices;
}

std::optional<QString> ServerAddressChoice(const QString &typed)
{
    const std::optional<NetworkPort> address = ParseNetworkPort(typed.trimmed());
    if (!address)
        return std::nullopt;
    return NetworkPortText(*address);
}
