#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class MessageBoxes;
class SerialControl;

// The line settings the sign runs at; nothing else is ever set on the port.
inline constexpr char SignLineSettings[] = "9600,N,8,1";

// Which step of opening the port failed, for callers that answer each
// differently (a script's exit status); the window treats them all alike.
enum class CommPortFailure { None, UnrecognisedArgument, NotAvailable, CannotOpen };

// What opening the sign's port came to. The window appends statusSuffix
// ("COM7" or "NONE") to its "Using " label and keeps Send disabled for the
// rest of the run when the port is not open.
struct CommPortOutcome
{
    bool open = false;
    // The port number as read from the argument; 0 when it was not recognised.
    int port = 0;
    QString statusSuffix;
    CommPortFailure failure = CommPortFailure::None;
};

// Everything after the program's name, joined with single spaces; empty when
// there is nothing.
[[nodiscard]] QString CommandLineArgument(const QStringList &arguments);

// The port number the argument names: "COM" and a decimal number, any case,
// spaces around it and after "COM" allowed; an empty argument means COM1.
// No value when the argument is not of that form.
[[nodiscard]] std::optional<int> PortNumberFromArgument(const QString &argument);

// Chooses, sets up and opens the port the argument names, telling the
// operator once (stop icon) when any step fails. No port operation is
// attempted for an argument that is not recognised.
[[nodiscard]] CommPortOutcome OpenCommPort(const QString &argument, SerialControl &port,
                                           MessageBoxes &boxes);

// Sets up and opens port n (messages B and C as OpenCommPort shows them).
[[nodiscard]] CommPortOutcome OpenCommPortNumber(int n, SerialControl &port, MessageBoxes &boxes);

// Makes port n name `target` (a device, a by-id name, another entry or a
// serial server's address) and moves the open port over to it: the current
// port is closed with its usual drain, the entry rewritten, the port opened
// again. When it cannot be opened the operator is told (message B or C) and
// the entry is put back as it was; the port then stays closed.
[[nodiscard]] CommPortOutcome RepointCommPort(int n, const QString &target, SerialControl &port,
                                              MessageBoxes &boxes);

// The text shown when the port cannot be had (in use, not permitted), with
// the reason under the heading.
[[nodiscard]] QString CannotOpenMessage(int port, const QString &description);

// The text shown when a write to the open port fails.
[[nodiscard]] QString WriteFailureMessage(int port, const QString &description);
