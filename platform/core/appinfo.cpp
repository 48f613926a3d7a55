#include "appinfo.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QStandardPaths>

#ifdef Q_OS_WIN
#include <QTemporaryFile>
#else
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
// By trying: the runtime's access() looks at the read-only attribute alone,
// while Program Files refuses new files through its access list.
bool IsWritableFolder(const QString &folder)
{
    if (folder.isEmpty())
        return false;
    QTemporaryFile probe(folder + QStringLiteral("/.") + QLatin1String(AppInfo::Title)
                         + QStringLiteral("-probe-XXXXXX"));
    return probe.open();
}
#else
// By the kernel's own check for this process: read-only mounts and access
// lists count, and root may write anywhere the mount allows.
bool IsWritableFolder(const QString &folder)
{
    return !folder.isEmpty() && ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}
#endif

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
