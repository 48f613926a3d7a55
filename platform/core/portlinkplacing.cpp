#include "portlinkplacing.h"

#include "portlisting.h"
#include "portnaming.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <filesystem>
#include <system_error>

namespace {

std::filesystem::path FileSystemPath(const QString &path)
{
    return QFile::encodeName(path).toStdString();
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

QString PlacePortLink(int n, const QString &target)
{
    if (!QDir().mkpath(PortLinksFolder()))
        return QStringLiteral("Cannot make the folder %1.").arg(PortLinksFolder());
    const std::filesystem::path finalPath = FileSystemPath(PortLinkPath(n));
    std::filesystem::path newPath = finalPath;
    newPath += ".new-" + std::to_string(QCoreApplication::applicationPid());
    std::error_code error;
    std::filesystem::remove(newPath, error);
    std::filesystem::create_symlink(FileSystemPath(target), newPath, error);
    if (!error)
        std::filesystem::rename(newPath, finalPath, error);
    if (!error)
        return {};
    const QString why = QString::fromStdString(error.message());
    std::filesystem::remove(newPath, error);
    return QStringLiteral("Cannot make %1: %2.").arg(PortLinkPath(n), why);
}

PortEntryKind PortEntryKindOf(int n)
{
    const QFileInfo entry(PortLinkPath(n));
    if (entry.isSymLink())
        return PortEntryKind::Link;
    return entry.exists() ? PortEntryKind::Other : PortEntryKind::None;
}

bool IsCharacterDevice(const QString &path)
{
    std::error_code failed;
    return std::filesystem::is_character_file(FileSystemPath(path), failed);
}

bool RemovePortLink(int n)
{
    return QFile::remove(PortLinkPath(n));
}

void RestorePortLink(int n, const QString &previousTarget)
{
    if (previousTarget.isEmpty()) {
        static_cast<void>(RemovePortLink(n));
        return;
    }
    // Best effort: the entry was just written by the same user, so putting
    // it back fails only where writing it would have.
    static_cast<void>(PlacePortLink(n, previousTarget));
}
