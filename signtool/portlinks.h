#pragma once

// `vantor-sign link` and `unlink`: the ports/com<n> entries that give port n
// a device (see platform/portnaming.h). A device with a stable
// /dev/serial/by-id name is linked by that name, because the kernel's own
// name (ttyUSB0) may go to another adapter when they are plugged in again.

#include <QString>

struct LinkRequest;

// What a command came to: its exit status and what to tell the user (on
// standard output when it succeeded, on standard error otherwise).
struct ToolOutcome
{
    int status = 0;
    QString message;
};

// The name to store for `device`: itself when it is a by-id name already,
// else the first by-id name in `byIdFolder` that leads to the same device,
// else the device's absolute path as given. Empty when it leads nowhere.
[[nodiscard]] QString NameToLink(const QString &device, const QString &byIdFolder);

[[nodiscard]] ToolOutcome LinkPort(const LinkRequest &request, const QString &byIdFolder);
[[nodiscard]] ToolOutcome UnlinkPort(int port);
