#include "portlock.h"

#include <QFile>

#ifndef Q_OS_WIN
#include <cerrno>
#include <csignal>
#include <sys/file.h>
#endif

namespace {

// Larger than any process id a Linux kernel hands out (2^22).
constexpr qint64 HighestPid = 4194304;

bool IsSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

QString ProcessName(qint64 pid)
{
    QFile comm(QStringLiteral("/proc/") + QString::number(pid) + QStringLiteral("/comm"));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(comm.readLine()).trimmed();
}

} // namespace

std::optional<qint64> ParseLockFilePid(QByteArrayView content)
{
    qsizetype at = 0;
    while (at < content.size() && IsSpace(content[at]))
        ++at;
    const qsizetype digitsFrom = at;
    qint64 pid = 0;
    while (at < content.size() && content[at] >= '0' && content[at] <= '9') {
        pid = pid * 10 + (content[at] - '0');
        if (pid > HighestPid)
            return std::nullopt;
        ++at;
    }
    if (at == digitsFrom || pid == 0)
        return std::nullopt;
    // A C string's NUL ends the number as a line end does.
    if (at < content.size() && !IsSpace(content[at]) && content[at] != '\0')
        return std::nullopt;
    return pid;
}

QString LockFileName(const QString &devicePath)
{
    QString name = devicePath;
    if (name.startsWith(QLatin1String("/dev/")))
        name.remove(0, 5);
    name.replace(QLatin1Char('/'), QLatin1Char('_'));
    return QStringLiteral("LCK..") + name;
}

const QStringList &LockFolders()
{
    // The serial library writes its lock to the first of these it may write
    // to; other programs use /var/lock or /run/lock.
    static const QStringList folders = {
        QStringLiteral("/var/lock"), QStringLiteral("/etc/locks"),
        QStringLiteral("/var/spool/locks"), QStringLiteral("/var/spool/uucp"),
        QStringLiteral("/tmp"), QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock"),
    };
    return folders;
}

bool IsProcessAlive(qint64 pid)
{
#ifdef Q_OS_WIN
    Q_UNUSED(pid);
    return false;
#else
    // EPERM: it exists, it is just not ours to signal.
    return ::kill(static_cast<pid_t>(pid), 0) == 0 || errno == EPERM;
#endif
}

std::optional<PortHolder> LiveLockHolder(const QString &devicePath)
{
    const QString fileName = LockFileName(devicePath);
    for (const QString &folder : LockFolders()) {
        QFile lock(folder + QLatin1Char('/') + fileName);
        if (!lock.open(QIODevice::ReadOnly))
            continue;
        // A process id fits the first line; a larger read would only let an
        // odd file cost time.
        const std::optional<qint64> pid = ParseLockFilePid(lock.read(256));
        if (pid && IsProcessAlive(*pid))
            return PortHolder{*pid, ProcessName(*pid)};
    }
    return std::nullopt;
}

QString DescribeHolder(const PortHolder &holder)
{
    return QStringLiteral("process ") + QString::number(holder.pid)
        + (holder.name.isEmpty() ? QString() : QStringLiteral(", ") + holder.name);
}

bool LockDeviceExclusively(int fd)
{
#ifdef Q_OS_WIN
    Q_UNUSED(fd);
    return true;
#else
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
        return true;
    return errno != EWOULDBLOCK;
#endif
}
