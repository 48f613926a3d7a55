#include "desktop.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGuiApplication>
#include <QStandardPaths>
#include <QUrl>

namespace {

QUrl LocalFileUrl(const QString &path)
{
#ifndef Q_OS_WIN
    // QUrl::fromLocalFile reads a leading "//" as a network host, as it is on
    // Windows. Here it is the root folder followed by the separator that Help
    // Topics always adds, and the name after it must reach the viewer as it
    // stands, not as a lower-cased host name. An empty (but present) authority
    // lets the path keep both slashes.
    if (path.startsWith(QLatin1String("//"))) {
        QUrl url;
        url.setScheme(QStringLiteral("file"));
        url.setAuthority(QStringLiteral(""));
        url.setPath(path, QUrl::DecodedMode);
        return url;
    }
#endif
    return QUrl::fromLocalFile(path);
}

DesktopOpenResult HandOver(const QUrl &url)
{
    const QString platform = QGuiApplication::platformName();
    if (url.isEmpty() || !url.isValid())
        return {DesktopRefusal::NotAnAddress, platform};
    if (QDesktopServices::openUrl(url))
        return {DesktopRefusal::None, platform};
    const QString launcher =
        QStandardPaths::findExecutable(QString::fromLatin1(DesktopLauncher));
    return {DiagnoseRefusal(launcher, platform), platform};
}

} // namespace

DesktopRefusal DiagnoseRefusal(const QString &launcherPath, const QString &platformName)
{
    if (launcherPath.isEmpty())
        return DesktopRefusal::NoLauncher;
    // These platforms have no desktop services: Qt refuses every hand-over
    // there before it looks for a launcher.
    if (platformName == QLatin1String("offscreen") || platformName == QLatin1String("minimal"))
        return DesktopRefusal::NoDesktop;
    return DesktopRefusal::LauncherFailed;
}

bool IsExistingFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

DesktopOpenResult OpenLocalFile(const QString &path)
{
    return HandOver(path.isEmpty() ? QUrl() : LocalFileUrl(path));
}

DesktopOpenResult OpenWebAddress(const QString &url)
{
    return HandOver(QUrl(url));
}
