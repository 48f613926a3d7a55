#include "desktop.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QStandardPaths>
#include <QUrl>

#ifdef Q_OS_WIN
#include "windowserrortext.h"

#include <windows.h>
#include <shellapi.h>
#endif

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

bool HasDesktop(const QString &platformName)
{
    return platformName != QLatin1String("offscreen") && platformName != QLatin1String("minimal");
}

#ifdef Q_OS_WIN
// Through the shell directly, so that a refusal comes with Windows' reason.
DesktopOpenResult HandOver(const QUrl &url, const HandlerFailure &)
{
    const QString platform = QGuiApplication::platformName();
    if (url.isEmpty() || !url.isValid())
        return {DesktopRefusal::NotAnAddress, platform, {}};
    const QString target = url.isLocalFile() ? QDir::toNativeSeparators(url.toLocalFile()) : url.toString();
    const auto started = reinterpret_cast<INT_PTR>(::ShellExecuteW(
        nullptr, nullptr, reinterpret_cast<const wchar_t *>(target.utf16()), nullptr, nullptr, SW_SHOWNORMAL));
    // Above 32 is success; below, the error code GetLastError() holds too.
    if (started > 32)
        return {DesktopRefusal::None, platform, {}};
    return {DesktopRefusal::SystemRefused, platform, WindowsErrorText(::GetLastError())};
}
#else
DesktopOpenResult HandOver(const QUrl &url, const HandlerFailure &onFailure)
{
    const QString platform = QGuiApplication::platformName();
    if (url.isEmpty() || !url.isValid())
        return {DesktopRefusal::NotAnAddress, platform, {}};
    const QString launcher =
        QStandardPaths::findExecutable(QString::fromLatin1(DesktopLauncher));
    // Qt starts the launcher detached and never hears how it ended; run here,
    // its exit status tells when nothing could open the target.
    if (onFailure && HasDesktop(platform) && !launcher.isEmpty()) {
        if (RunDesktopHandler(launcher, url.toString(QUrl::FullyEncoded), qApp, onFailure))
            return {DesktopRefusal::None, platform, {}};
        return {DesktopRefusal::LauncherFailed, platform, {}};
    }
    if (QDesktopServices::openUrl(url))
        return {DesktopRefusal::None, platform, {}};
    return {DiagnoseRefusal(launcher, platform), platform, {}};
}
#endif

} // namespace

DesktopRefusal DiagnoseRefusal(const QString &launcherPath, const QString &platformName)
{
    if (launcherPath.isEmpty())
        return DesktopRefusal::NoLauncher;
    // These platforms have no desktop services: Qt refuses every hand-over
    // there before it looks for a launcher.
    if (!HasDesktop(platformName))
        return DesktopRefusal::NoDesktop;
    return DesktopRefusal::LauncherFailed;
}

bool IsExistingFile(const QString &path)
{
    return QFileInfo(path).isFile();
}

DesktopOpenResult OpenLocalFile(const QString &path, const HandlerFailure &onFailure)
{
    return HandOver(path.isEmpty() ? QUrl() : LocalFileUrl(path), onFailure);
}

DesktopOpenResult OpenWebAddress(const QString &url, const HandlerFailure &onFailure)
{
    return HandOver(QUrl(url), onFailure);
}

bool RunDesktopHandler(const QString &handler, const QString &target, QObject *context,
                       const HandlerFailure &onFailure)
{
    auto *process = new QProcess(context);
    process->setProcessChannelMode(QProcess::SeparateChannels);
    process->setStandardOutputFile(QProcess::nullDevice());
    QObject::connect(process, &QProcess::finished, process,
                     [process, onFailure](int exitCode, QProcess::ExitStatus exitStatus) {
                         const QString printed =
                             QString::fromLocal8Bit(process->readAllStandardError()).trimmed();
                         process->deleteLater();
                         if (exitStatus == QProcess::CrashExit || exitCode != 0)
                             onFailure(exitStatus == QProcess::CrashExit ? -1 : exitCode, printed);
                     });
    process->start(handler, {target});
    // Starting is quick (fork and exec); only the handler's end is waited for
    // in the event loop.
    if (process->waitForStarted())
        return true;
    process->deleteLater();
    return false;
}
