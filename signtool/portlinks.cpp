#include "portlinks.h"

#include "commandline.h"
#include "exitstatus.h"
#include "networkport.h"
#include "portlisting.h"
#include "portnaming.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

QString PortName(int port)
{
    return QStringLiteral("COM") + QString::number(port);
}

#ifndef Q_OS_WIN
bool EntryExists(const QFileInfo &entry)
{
    return entry.isSymLink() || entry.exists();
}

// Makes the link beside its final name and renames it over that, so that the
// console never finds the entry missing or half made.
QString PlaceLink(const QString &target, const QString &linkPath)
{
    const std::filesystem::path finalPath(QFile::encodeName(linkPath).toStdString());
    std::filesystem::path newPath = finalPath;
    newPath += ".new-" + std::to_string(QCoreApplication::applicationPid());
    std::error_code error;
    std::filesystem::remove(newPath, error);
    std::filesystem::create_symlink(QFile::encodeName(target).toStdString(), newPath, error);
    if (!error)
        std::filesystem::rename(newPath, finalPath, error);
    if (error) {
        std::filesystem::remove(newPath, error);
        return QString::fromStdString(error.message());
    }
    return {};
}

#endif

} // namespace

QString NameToLink(const QString &device, const QString &byIdFolder)
{
    const QFileInfo given(device);
    const QString resolved = given.canonicalFilePath();
    if (resolved.isEmpty())
        return {};
    const QString absolute = given.absoluteFilePath();
    if (QFileInfo(absolute).absolutePath() == QDir(byIdFolder).absolutePath())
        return absolute;
    return ScanStableNames(byIdFolder).value(resolved).value(0, absolute);
}

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
        return {ExitStatus::CannotCreate, QStringLiteral("%1 names %2 already (%3).\rGive --force to replace it.")
                                              .arg(PortName(request.port), existing, place)};
    }
    if (!SetPortEntry(request.port, NetworkPortText(*address)))
        return {ExitStatus::CannotCreate, QStringLiteral("Cannot write %1.").arg(place)};
    return {ExitStatus::Ok, QStringLiteral("%1 -> %2").arg(PortName(request.port), NetworkPortText(*address))};
}

ToolOutcome UnlinkPort(int port)
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
            return {ExitStatus::NoInput, DescribeMalformedNetworkPort(request.device)};
        target = NetworkPortText(*address);
    } else {
        target = NameToLink(request.device, byIdFolder);
        if (target.isEmpty())
            return {ExitStatus::NoInput, QStringLiteral("%1 does not exist.").arg(request.device)};
    }

    const QString linkPath = PortLinkPath(request.port);
    const QFileInfo existing(linkPath);
    if (EntryExists(existing)) {
        if (!existing.isSymLink()) {
            return {ExitStatus::CannotCreate,
                    QStringLiteral("%1 is not a link; remove it yourself if it should go.").arg(linkPath)};
        }
        if (!request.force) {
            return {ExitStatus::CannotCreate,
                    QStringLiteral("%1 names %2 already (%3).\rGive --force to replace the link.")
                        .arg(PortName(request.port), LinkText(linkPath), linkPath)};
        }
    }
    if (!QDir().mkpath(PortLinksFolder()))
        return {ExitStatus::CannotCreate, QStringLiteral("Cannot make the folder %1.").arg(PortLinksFolder())};
    const QString failure = PlaceLink(target, linkPath);
    if (!failure.isEmpty())
        return {ExitStatus::CannotCreate, QStringLiteral("Cannot make %1: %2.").arg(linkPath, failure)};
    return {ExitStatus::Ok, QStringLiteral("%1 -> %2").arg(PortName(request.port), target)};
}

ToolOutcome UnlinkPort(int port)
{
    const QString linkPath = PortLinkPath(port);
    const QFileInfo existing(linkPath);
    if (!EntryExists(existing))
        return {ExitStatus::NoInput, QStringLiteral("%1 has no link (%2).").arg(PortName(port), linkPath)};
    if (!existing.isSymLink()) {
        return {ExitStatus::CannotCreate,
                QStringLiteral("%1 is not a link; remove it yourself if it should go.").arg(linkPath)};
    }
    if (!QFile::remove(linkPath))
        return {ExitStatus::CannotCreate, QStringLiteral("Cannot remove %1.").arg(linkPath)};
    return {ExitStatus::Ok, QStringLiteral("%1 unlinked").arg(PortName(port))};
}
#endif
