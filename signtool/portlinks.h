#pragma once

// `vantor-sign link` and `unlink`: the ports/com<n> entries that give port n
// a device (see platform/portnaming.h), written as the console's port
// chooser writes them (portlinkplacing.h).

#include "portlinkplacing.h"

#include <QString>

struct LinkRequest;

// What a command came to: its exit status and what to tell the user (on
// standard output when it succeeded, on standard error otherwise).
struct ToolOutcome
{
    int status = 0;
    QString message;
};

[[nodiscard]] ToolOutcome LinkPort(const LinkRequest &request, const QString &byIdFolder);
// Refuses, unless `force`, a link that a running virtual sign holds: the
// sign would go on announcing a port that names nothing.
[[nodiscard]] ToolOutcome UnlinkPort(int port, bool force = false);
