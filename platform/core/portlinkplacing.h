#pragma once

// Writing a ports/com<n> entry (see portnaming.h), shared by the console's
// port chooser and `vantor-sign link`, so that both leave the same entry for
// the same choice. A device with a stable /dev/serial/by-id name is linked by
// that name, because the kernel's own name (ttyUSB0) may go to another
// adapter when they are plugged in again.

#include <QString>

// The name to store for `device`: itself when it is a by-id name already,
// else the first by-id name in `byIdFolder` that leads to the same device,
// else the device's absolute path as given. Empty when it leads nowhere.
[[nodiscard]] QString NameToLink(const QString &device, const QString &byIdFolder);

// Makes port n's entry a link to `target`, replacing what is there, and the
// ports folder first when it is missing. The entry is made beside its final
// name and renamed over it, so a reader never finds it missing or half made.
// Empty on success, else why it failed.
[[nodiscard]] QString PlacePortLink(int n, const QString &target);

// What stands at port n's entry: nothing, a link (whether or not it leads
// anywhere) or something else, which is not this program's to replace.
enum class PortEntryKind { None, Link, Other };
[[nodiscard]] PortEntryKind PortEntryKindOf(int n);

// True when `path` leads to a character device, as every serial device is.
[[nodiscard]] bool IsCharacterDevice(const QString &path);

// Removes port n's entry; false when it could not be removed.
[[nodiscard]] bool RemovePortLink(int n);

// Puts port n's entry back as `previousTarget` left it: that link again, or
// no entry when the text is empty.
void RestorePortLink(int n, const QString &previousTarget);
