#pragma once

#include "serialbackend.h"
#include <QString>

// Descriptions of serial-port failures, written for the operator: the
// system's reason, the device, and what to do about it. Lines are separated
// by a single CR.

// Why port n names no device that exists. `devicePath` is what port n names
// (empty for n below 1).
[[nodiscard]] QString DescribeMissingDevice(int n, const QString &devicePath);

// Why the device could not be opened, from the serial library's verdict.
[[nodiscard]] QString DescribeOpenFailure(SerialBackend::SerialPortError error,
                                          const QString &systemText, const QString &devicePath);

// Who may write to a device: its owner, group and permission bits, and
// whether this user is a member of the group (by the group database, which
// counts before the next login does).
struct DeviceAccess
{
    QString owner;  // empty when the device cannot be looked at
    QString group;
    unsigned mode = 0;
    bool memberOfGroup = false;
};

// Why this user may not open the device, and what would let them.
[[nodiscard]] QString DescribeNoPermission(const QString &devicePath, const QString &systemText,
                                           const DeviceAccess &access);

// Why a write to the open device failed.
[[nodiscard]] QString DescribeWriteFailure(SerialBackend::SerialPortError error,
                                           const QString &systemText, const QString &devicePath);

// Why the device refused the line settings.
[[nodiscard]] QString DescribeSettingsFailure(SerialBackend::SerialPortError error,
                                              const QString &systemText, const QString &settings);

// Who holds the device's lock file, as "process 1234, name"; empty when no
// lock file names a live process.
[[nodiscard]] QString LockHolder(const QString &devicePath);

// Why a device another program holds cannot be had, naming the holder where
// a lock file tells.
[[nodiscard]] QString DescribeHeldPort(const QString &devicePath);
