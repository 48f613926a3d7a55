#include "portlinks.h"

#include "commandline.h"
#include "exitstatus.h"
#include "listingformat.h"
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
        // The clean-up's own outcome must not take the place of the reason.
        std::error_code ignored;
        std::filesystem::remove(newPath, ignored);
        return QString::fromStdString(error.message());
    }
    return {};
}

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
                        .arg(PortName(request.port), TerminalSafe(LinkText(linkPath)), linkPath)};
        }
    }
    if (!QDir().mkpath(PortLinksFolder()))
        return {ExitStatus::CannotCreate, QStringLiteral("Cannot make the folder %1.").arg(PortLinksFolder())};
    const QString failure = PlaceLink(target, linkPath);
    if (!failure.isEmpty())
        return {ExitStatus::CannotCreate, QStringLiteral("Cannot make %1: %2.").arg(linkPath, failure)};
    return {ExitStatus::Ok, QStringLiteral("%1 -> %2").arg(PortName(request.port), TerminalSafe(target))};
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
