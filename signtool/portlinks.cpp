#include "portlinks.h"

#include "commandline.h"
#include "exitstatus.h"
#include "listingformat.h"
#include "messageboxes.h"
#include "networkport.h"
#include "portlinkplacing.h"
#include "portlisting.h"
#include "portlock.h"
#include "portnaming.h"

namespace {

QString PortName(int port)
{
    return QStringLiteral("COM") + QString::number(port);
}

#ifndef Q_OS_WIN
ToolOutcome NotALink(const QString &linkPath)
{
    return {ExitStatus::CannotCreate,
            QStringLiteral("%1 is not a link; remove it yourself if it should go.").arg(linkPath)};
}
#endif

} // namespace

#ifdef Q_OS_WIN
// Port n is COM<n> itself on Windows; what can be given to it is a serial
// server, kept in the per-user settings store.
ToolOutcome LinkPort(const LinkRequest &request, const QString &)
{
    const std::optional<NetworkPort> address = ParseNetworkPort(request.device);
    if (!address) {
        return {ExitStatus::NoInput,
                LooksLikeNetworkPort(request.device)
                    ? DescribeMalformedNetworkPort(request.device)
                    : QStringLiteral("On Windows port n is COM<n> itself; only a serial server "
                                     "(tcp://HOST:PORT or rfc2217://HOST:PORT) can be given to it.")};
    }
    const QString place = PortEntryPlace(request.port);
    const QString existing = PortLinkText(request.port);
    if (!existing.isEmpty() && !request.force) {
        return {ExitStatus::CannotCreate, (QStringLiteral("%1 names %2 already (%3).") + LineBreak
                                               + QStringLiteral("Give --force to replace it."))
                                              .arg(PortName(request.port), existing, place)};
    }
    if (!SetPortEntry(request.port, NetworkPortText(*address)))
        return {ExitStatus::CannotCreate, QStringLiteral("Cannot write %1.").arg(place)};
    return {ExitStatus::Ok, QStringLiteral("%1 -> %2").arg(PortName(request.port), NetworkPortText(*address))};
}

ToolOutcome UnlinkPort(int port, bool)
{
    const QString place = PortEntryPlace(port);
    if (PortLinkText(port).isEmpty())
        return {ExitStatus::NoInput, QStringLiteral("%1 has no serial server (%2).").arg(PortName(port), place)};
    if (!SetPortEntry(port, QString()))
        return {ExitStatus::CannotCreate, QStringLiteral("Cannot remove %1.").arg(place)};
    return {ExitStatus::Ok, QStringLiteral("%1 unlinked").arg(PortName(port))};
}
#else
ToolOutcome LinkPort(const LinkRequest &request, const QString &byIdFolder)
{
    QString target;
    if (LooksLikeNetworkPort(request.device)) {
        const std::optional<NetworkPort> address = ParseNetworkPort(request.device);
        if (!address)
            return {ExitStatus::Usage, DescribeMalformedNetworkPort(request.device)};
        target = NetworkPortText(*address);
    } else {
        target = NameToLink(request.device, byIdFolder);
        if (target.isEmpty())
            return {ExitStatus::NoInput, QStringLiteral("%1 does not exist.").arg(request.device)};
        // A port that names a plain file or a folder would only fail later,
        // at the console's next start, far from this mistake.
        if (!request.force && !IsCharacterDevice(target)) {
            return {ExitStatus::Usage,
                    (QStringLiteral("%1 is not a serial device.") + LineBreak
                     + QStringLiteral("Give --force to link it all the same."))
                        .arg(request.device)};
        }
    }

    const QString linkPath = PortLinkPath(request.port);
    const PortEntryKind existing = PortEntryKindOf(request.port);
    if (existing == PortEntryKind::Other)
        return NotALink(linkPath);
    if (existing == PortEntryKind::Link && !request.force) {
        return {ExitStatus::CannotCreate,
                (QStringLiteral("%1 names %2 already (%3).") + LineBreak
                 + QStringLiteral("Give --force to replace the link."))
                    .arg(PortName(request.port), TerminalSafe(LinkText(linkPath)), linkPath)};
    }
    const QString failure = PlacePortLink(request.port, target);
    if (!failure.isEmpty())
        return {ExitStatus::CannotCreate, failure};
    return {ExitStatus::Ok, QStringLiteral("%1 -> %2").arg(PortName(request.port), TerminalSafe(target))};
}

ToolOutcome UnlinkPort(int port, bool force)
{
    const QString linkPath = PortLinkPath(port);
    const PortEntryKind existing = PortEntryKindOf(port);
    if (existing == PortEntryKind::None)
        return {ExitStatus::NoInput, QStringLiteral("%1 has no link (%2).").arg(PortName(port), linkPath)};
    if (existing == PortEntryKind::Other)
        return NotALink(linkPath);
    const QString target = LinkText(linkPath);
    if (const std::optional<qint64> sign = VirtualSignProcess(target);
        sign && !force && IsProcessAlive(*sign)) {
        return {ExitStatus::CannotCreate,
                QStringLiteral("%1 is held by a running virtual sign (process %2); close the sign, which "
                               "removes its link, or give --force.")
                    .arg(PortName(port), QString::number(*sign))};
    }
    if (!RemovePortLink(port))
        return {ExitStatus::CannotCreate, QStringLiteral("Cannot remove %1.").arg(linkPath)};
    return {ExitStatus::Ok, QStringLiteral("%1 unlinked").arg(PortName(port))};
}
#endif
