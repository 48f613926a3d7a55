#include "portfailure.h"

#include "messageboxes.h"
#include "portlock.h"
#include "portnaming.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#ifndef Q_OS_WIN
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

// The system's reason as the serial library worded it, without the
// placeholder the device gives when it has none.
QString Reason(SerialBackend::SerialPortError error, const QString &systemText)
{
    const QString placeholder = QCoreApplication::translate("QIODevice", "Unknown error");
    if (error == SerialBackend::NoError || systemText.isEmpty() || systemText == placeholder)
        return QStringLiteral("the system gave no reason");
    return systemText;
}

#ifndef Q_OS_WIN
bool MayWrite(const QString &devicePath)
{
    return ::access(QFile::encodeName(devicePath).constData(), W_OK) == 0;
}

DeviceAccess AccessOf(const QString &devicePath)
{
    DeviceAccess access;
#ifndef Q_OS_WIN
    struct stat status {};
    if (::stat(QFile::encodeName(devicePath).constData(), &status) != 0)
        return access;
    const QFileInfo info(devicePath);
    access.owner = info.owner();
    access.group = info.group();
    access.mode = status.st_mode & 07777;
    const passwd *user = ::getpwuid(::getuid());
    if (user) {
        int count = 64;
        QList<gid_t> groups(count);
        if (::getgrouplist(user->pw_name, user->pw_gid, groups.data(), &count) >= 0)
            access.memberOfGroup = groups.first(count).contains(status.st_gid);
    }
#else
    Q_UNUSED(devicePath);
#endif
    return access;
}
#endif

} // namespace

QString DescribeMissingDevice(int n, const QString &devicePath)
{
    if (n < 1)
        return QStringLiteral("Port numbers start at 1.");

    const QFileInfo entry(devicePath);
    if (entry.isSymLink()) {
        return devicePath + QStringLiteral(" points to ") + entry.symLinkTarget()
            + QStringLiteral(", which does not exist.") + LineBreak
            + QStringLiteral("Connect the device, or point the link at the device to use.");
    }
    return QStringLiteral("The device ") + devicePath + QStringLiteral(" does not exist.")
        + LineBreak + QStringLiteral("To use another device as COM") + QString::number(n)
        + QStringLiteral(", make ") + PortLinkPath(n) + QStringLiteral(" a link to it.");
}

QString DescribeOpenFailure(SerialBackend::SerialPortError error, const QString &systemText,
                            const QString &devicePath)
{
    switch (error) {
    case SerialBackend::DeviceNotFoundError:
        return devicePath + QStringLiteral(": ") + Reason(error, systemText) + QLatin1Char('.')
            + LineBreak + QStringLiteral("Connect the device, then start the program again.");
    case SerialBackend::PermissionError:
#ifdef Q_OS_WIN
        // Windows answers "access denied" for a port another program holds.
        return devicePath + QStringLiteral(": ") + Reason(error, systemText) + QLatin1Char('.') + LineBreak
            + QStringLiteral("Another program may hold it: close that program, then try again.");
#else
        // The library reports its own lock, another program's exclusive
        // hold (busy) and a refused permission all alike; only the last
        // leaves this user unable to write to the device.
        if (!MayWrite(devicePath))
            return DescribeNoPermission(devicePath, Reason(error, systemText), AccessOf(devicePath));
        return DescribeHeldPort(devicePath);
#endif
    case SerialBackend::ResourceError:
        return devicePath + QStringLiteral(": ") + Reason(error, systemText) + QLatin1Char('.')
            + LineBreak + QStringLiteral("No serial port answers at this device.");
    default:
        return devicePath + QStringLiteral(": ") + Reason(error, systemText) + QLatin1Char('.');
    }
}

QString DescribeNoPermission(const QString &devicePath, const QString &systemText, const DeviceAccess &access)
{
    const QString said = devicePath + QStringLiteral(": ") + systemText + u'.';
    if (access.owner.isEmpty()) {
        return said + LineBreak + QStringLiteral("Serial devices are usually open to the members of the "
                                                 "\"dialout\" group: run \"sudo adduser $USER dialout\", "
                                                 "then log out and log in again.");
    }
    const QString owned = QStringLiteral(" It belongs to %1, group %2, mode %3.")
                              .arg(access.owner, access.group,
                                   QStringLiteral("%1").arg(access.mode, 4, 8, QLatin1Char('0')));
    constexpr unsigned GroupMayWrite = 0020;
    if (!(access.mode & GroupMayWrite) || access.group == QLatin1String("root")) {
        return said + owned + LineBreak + QStringLiteral("Only ") + access.owner
            + QStringLiteral(" may open it; joining a group does not help. Choose another device, or have "
                             "the administrator give this one to the \"dialout\" group.");
    }
    if (access.memberOfGroup) {
        return said + owned + LineBreak + QStringLiteral("You joined the \"") + access.group
            + QStringLiteral("\" group after this session began: log out and log in again.");
    }
    return said + owned + LineBreak + QStringLiteral("Members of the \"") + access.group
        + QStringLiteral("\" group may open it: run \"sudo adduser $USER ") + access.group
        + QStringLiteral("\", then log out and log in again.");
}

QString DescribeWriteFailure(SerialBackend::SerialPortError error, const QString &systemText,
                             const QString &devicePath)
{
    if (error == SerialBackend::ResourceError) {
        return devicePath + QStringLiteral(" has gone away: ") + Reason(error, systemText)
            + QLatin1Char('.') + LineBreak
            + QStringLiteral("The port is closed now; reconnect the device, then press Send again.");
    }
    return devicePath + QStringLiteral(": ") + Reason(error, systemText) + QLatin1Char('.');
}

QString DescribeSettingsFailure(SerialBackend::SerialPortError error, const QString &systemText,
                                const QString &settings)
{
    return QStringLiteral("The device does not take the line settings \"") + settings
        + QStringLiteral("\": ") + Reason(error, systemText) + QLatin1Char('.');
}

QString LockHolder(const QString &devicePath)
{
    const std::optional<PortHolder> holder = LiveLockHolder(devicePath);
    return holder ? DescribeHolder(*holder) : QString();
}

QString DescribeHeldPort(const QString &devicePath)
{
    const QString holder = LockHolder(devicePath);
    return devicePath + QStringLiteral(" is in use: another program holds it")
        + (holder.isEmpty() ? QString() : QStringLiteral(" (") + holder + QLatin1Char(')'))
        + QLatin1Char('.') + LineBreak
        + QStringLiteral("Close that program, then try again.");
}
