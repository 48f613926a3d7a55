#pragma once

// What the port status label says when the port failed between two Sends:
// the operator is typing then, and a box would take the keys. The label
// names the port and what happened, and that the next Send tries again.

#include <QString>

enum class PortTrouble {
    Unplugged,        // the device went away
    ConnectionClosed, // the serial server closed the connection
    Stalled,          // the device stopped taking bytes
    Other,
};

// Which of them a failure's description tells of.
[[nodiscard]] PortTrouble ClassifyPortTrouble(const QString &description);

// The label's text: a warning sign, the port, what happened, what to do.
[[nodiscard]] QString PortTroubleStatus(int port, PortTrouble trouble);

// The label's text while the port is in order.
[[nodiscard]] QString PortInUseStatus(const QString &suffix);
