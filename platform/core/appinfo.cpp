#include "appinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#include <unistd.h>

namespace {

// By the kernel's own check for this process: read-only mounts and access
// lists count, and root may write anywhere the mount allows.
bool IsWritableFolder(const QString &folder)
{
    return !folder.isEmpty() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString UserDataFolder()
{
    // The generic location is $XDG_DATA_HOME itself, whatever the
    // organisation and application names say.
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + u'/'
        + QLatin1String(AppInfo::Title);
}

} // namespace

QString AppInfo::ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}

QString AppInfo::DataFolder(const QString &programFolder, DataFolderUse use)
{
    if (IsWritableFolder(programFolder))
        return programFolder;
    const QString folder = UserDataFolder();
    if (use == DataFolderUse::Write)
        static_cast<void>(QDir().mkpath(folder));
    return folder;
}
