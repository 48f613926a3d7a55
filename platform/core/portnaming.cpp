#include "portnaming.h"

#include "appinfo.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#ifdef Q_OS_WIN
#include <QSettings>
#endif

#include <filesystem>
#include <memory>
#include <system_error>

namespace {

QString ConfigHome()
{
    const QString configured = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (!configured.isEmpty() && QDir::isAbsolutePath(configured))
        return configured;
    return QDir::homePath() + QStringLiteral("/.config");
}

} // namespace

QString PortLinksFolder()
{
    return ConfigHome() + QLatin1Char('/') + QLatin1String(AppInfo::Title)
        + QStringLiteral("/ports");
}

QString PortLinkPath(int n)
{
    return PortLinksFolder() + QStringLiteral("/com") + QString::number(n);
}

bool HasPortLink(int n)
{
    // exists() follows links; the entry counts even when its target is gone,
    // so that the operator hears about the broken link, not about ttyS.
    const QFileInfo entry(PortLinkPath(n));
    return entry.isSymLink() || entry.exists();
}

QString PortDevicePath(int n)
{
    if (n <= 0)
        return {};
#ifdef Q_OS_WIN
    return QStringLiteral("COM") + QString::number(n);
#else
    if (HasPortLink(n))
        return PortLinkPath(n);
    return QStringLiteral("/dev/ttyS") + QString::number(n - 1);
#endif
}

#ifdef Q_OS_WIN
namespace {

// Windows users make no symbolic links: a port's serial server is kept in
// the per-user settings store instead, as the value COM<n> of section Ports.
QString PortEntryKey(int n)
{
    return QStringLiteral("Ports/COM") + QString::number(n);
}

std::unique_ptr<QSettings> PortEntries()
{
    return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope,
                                       QString::fromLatin1(AppInfo::Title));
}

} // namespace

QString PortLinkText(int n)
{
    return PortEntries()->value(PortEntryKey(n)).toString();
}

QString PortEntryPlace(int n)
{
    return PortEntries()->fileName() + QStringLiteral("\\Ports\\COM") + QString::number(n);
}

bool SetPortEntry(int n, const QString &address)
{
    const std::unique_ptr<QSettings> entries = PortEntries();
    if (address.isEmpty())
        entries->remove(PortEntryKey(n));
    else
        entries->setValue(PortEntryKey(n), address);
    entries->sync();
    return entries->status() == QSettings::NoError;
}

QMap<int, QString> StoredPortEntries()
{
    const std::unique_ptr<QSettings> entries = PortEntries();
    entries->beginGroup(QStringLiteral("Ports"));
    QMap<int, QString> stored;
    for (const QString &key : entries->childKeys()) {
        bool isNumber = false;
        const int n = key.startsWith(QLatin1String("COM"), Qt::CaseInsensitive) ? key.mid(3).toInt(&isNumber) : 0;
        if (isNumber && n > 0)
            stored.insert(n, entries->value(key).toString());
    }
    return stored;
}
#else
QString PortLinkText(int n)
{
    return LinkText(PortLinkPath(n));
}
#endif

QString LinkText(const QString &linkPath)
{
    // QFileInfo resolves a link's text against its folder, which would spoil
    // a network address; the file system gives it as written.
    std::error_code failed;
    const std::filesystem::path target =
        std::filesystem::read_symlink(QFile::encodeName(linkPath).toStdString(), failed);
    if (failed)
        return {};
    return QFile::decodeName(QByteArray::fromStdString(target.string()));
}
