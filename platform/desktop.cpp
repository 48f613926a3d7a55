#include "desktop.h"

#include <QDesktopServices>
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

} // namespace

QString OpenHelpFile(QWidget *owner, const QString &path)
{
    Q_UNUSED(owner);
    if (QDesktopServices::openUrl(LocalFileUrl(path)))
        return {};
    return QStringLiteral("The help viewer could not be started for \"%1\".").arg(path);
}

void OpenWebAddress(const QString &url)
{
    QDesktopServices::openUrl(QUrl(url));
}
