#pragma once

// How serial programs on Linux tell one another that a port is in use, by
// convention rather than by the kernel: a UUCP lock file "LCK..<device>" in a
// lock folder that holds the holder's process id (ASCII, often padded to ten
// places, possibly followed by a name), and an exclusive flock() on the open
// device. The console honours both before it writes to a port, and leaves
// both in place for others while it holds one.

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// A process that holds a port.
struct PortHolder
{
    qint64 pid = 0;
    // The process's command name; empty when the system does not tell.
    QString name;
};

// The process id a lock file's content names: leading white space, decimal
// digits, then the end, white space or NUL (a name may follow). Nullopt for
// anything else, for 0, and for numbers beyond any process id.
[[nodiscard]] std::optional<qint64> ParseLockFilePid(QByteArrayView content);

// The lock file's name for a device: "LCK.." and the path without "/dev/",
// with '/' turned into '_' ("/dev/pts/3" -> "LCK..pts_3").
[[nodiscard]] QString LockFileName(const QString &devicePath);

// The folders lock files may be in, the serial library's choice among them first.
[[nodiscard]] const QStringList &LockFolders();

// True while a process of that id exists, whoever owns it.
[[nodiscard]] bool IsProcessAlive(qint64 pid);

// The live process that a lock file for the device names; nullopt when no
// lock file names one. A lock file of a process that is gone is stale and
// does not count (it is left for its owner's tools to clean up).
[[nodiscard]] std::optional<PortHolder> LiveLockHolder(const QString &devicePath);

// "process 1234, minicom" (without the name when the system does not tell).
[[nodiscard]] QString DescribeHolder(const PortHolder &holder);

// Takes an exclusive flock() on an open device without waiting. False only
// when another open file holds one; a device that does not support flock()
// counts as free.
[[nodiscard]] bool LockDeviceExclusively(int fd);
