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
