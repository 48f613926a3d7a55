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

// Who holds a choice: nobody, this console or another program.
struct Holder
{
    std::optional<PortHolder> holder;
    bool console = false;

    Holder(const std::optional<PortHolder> &listed, qint64 consolePid)
        : holder(listed)
        , console(listed && listed->pid == consolePid)
    {
    }
    [[nodiscard]] bool other() const { return holder && !console; }
    [[nodiscard]] QString said() const
    {
        if (console)
            return QStringLiteral("in use by this console");
        return holder ? QStringLiteral("in use by ") + DescribeHolder(*holder) : QStringLiteral("free");
    }
};

PortChoice DeviceChoice(const ListedDevice &listed, qint64 consolePid)
{
    const Holder holder(listed.holder, consolePid);
    const SerialDevice &device = listed.device;
    QString title = device.path;
    if (!device.description.isEmpty())
        title += QStringLiteral(" - ") + device.description;
    if (!device.manufacturer.isEmpty())
        title += QStringLiteral(" (") + device.manufacturer + u')';
    QString detail = PortNames(listed.ports) + QStringLiteral("; ") + holder.said();
    if (!listed.stableNames.isEmpty())
        detail += QStringLiteral("; ") + listed.stableNames.first();
    return {title, detail, listed.stableNames.value(0, device.path), holder.other(), holder.console};
}

std::optional<PortChoice> LinkChoice(const ListedLink &listed, qint64 consolePid)
{
    const PortLinkEntry &link = listed.link;
    const Holder holder(listed.holder, consolePid);
    const QString named = QStringLiteral("COM") + QString::number(link.port);
    if (const std::optional<NetworkPort> server = ParseNetworkPort(link.target)) {
        return PortChoice{QStringLiteral("Serial server ") + NetworkPortText(*server),
                          named + QStringLiteral("; connects at the first Send"),
                          NetworkPortText(*server)};
    }
    if (const std::optional<qint64> sign = VirtualSignProcess(link.target); sign && !link.resolved.isEmpty()) {
        // Through the sign's own entry, which the sign makes again each time
        // it starts, so the choice outlives this run of the sign.
        return PortChoice{QStringLiteral("Virtual sign (process %1) on %2").arg(QString::number(*sign), link.resolved),
                          named + QStringLiteral("; ") + holder.said(), link.linkPath, holder.other(),
                          holder.console};
    }
    if (link.resolved.isEmpty())
        return std::nullopt;
    return PortChoice{link.resolved, named + QStringLiteral("; ") + holder.said(), link.resolved, holder.other(),
                      holder.console};
}

} // namespace

QList<PortChoice> PortChoices(const PortListing &listing, qint64 consolePid)
{
    QList<PortChoice> choices;
    for (const ListedDevice &device : listing.devices)
        choices.append(DeviceChoice(device, consolePid));
    for (const ListedLink &link : listing.otherLinks) {
        if (const std::optional<PortChoice> choice = LinkChoice(link, consolePid))
            choices.append(*choice);
    }
    return choices;
}

qsizetype FirstFreeChoice(const QList<PortChoice> &choices)
{
    for (qsizetype i = 0; i < choices.size(); ++i) {
        if (!choices.at(i).inUse && !choices.at(i).current)
            return i;
    }
    return 0;
}

std::optional<QString> ServerAddressChoice(const QString &typed)
{
    const std::optional<NetworkPort> address = ParseNetworkPort(typed.trimmed());
    if (!address)
        return std::nullopt;
    return NetworkPortText(*address);
}
