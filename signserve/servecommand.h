#pragma once

// `vantor-sign serve`: holds the port as the console does, shares it with
// this user's other programs (the local hand-over) and, with a broker, with
// the boards' topics there, until a stop signal. Port failures are logged
// and answered to whoever sent; the next string opens the port again.

#include <QString>

#include <functional>

class MessageBoxes;
class SerialControl;
struct ServeRequest;

// Returns the exit status: the port's as for send when it cannot be had, a
// usage status for a broker address that is none, else 0 once stopped.
[[nodiscard]] int RunServe(const ServeRequest &request, SerialControl &port, MessageBoxes &boxes,
                           const std::function<void(const QString &line)> &log);
