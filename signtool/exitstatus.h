#pragma once

// The exit statuses of vantor-sign, after the BSD sysexits convention, so
// that a script can tell a mistake of its own from a sign that is away. The
// help text and the manual page list them; every status is defined here once.

namespace ExitStatus {

inline constexpr int Ok = 0;
// The command line is wrong, or --port names no port (the console's message A).
inline constexpr int Usage = 64;
// A board number or brightness the console would refuse, or a line of
// standard input longer than the message field holds.
inline constexpr int DataError = 65;
// link/unlink: the device or the link to remove does not exist.
inline constexpr int NoInput = 66;
// The port is not available on this system (the console's message B).
inline constexpr int Unavailable = 69;
// link: the link exists already, or cannot be made.
inline constexpr int CannotCreate = 73;
// Writing to the port, or reading standard input, failed.
inline constexpr int IoError = 74;
// The port cannot be opened: in use, or not permitted (the console's message C).
inline constexpr int TempFail = 75;

} // namespace ExitStatus
