#pragma once

#include <QMap>
#include <QString>

// How a port number becomes a device.
//
// On Windows port n is the system's own "COM<n>". On Linux the operator may
// give port n any device by making the entry
//   $XDG_CONFIG_HOME/VantorMsgBoard/ports/com<n>
// a link to it (a USB adapter, a /dev/serial/by-id name, a pseudo-terminal);
// without that entry port n is the n-th built-in serial port, /dev/ttyS<n-1>.
// Port 0 and below name no device. The entry may instead be a link whose
// text is a serial server's network address (networkport.h).

// The folder that holds the com<n> entries; the config home is ~/.config when
// XDG_CONFIG_HOME is unset, empty or not an absolute path.
[[nodiscard]] QString PortLinksFolder();

// The com<n> entry for port n, whether or not it exists.
[[nodiscard]] QString PortLinkPath(int n);

// True when the com<n> entry exists itself, even as a link to nothing.
[[nodiscard]] bool HasPortLink(int n);

// The device path to open for port n; empty when n names no device.
[[nodiscard]] QString PortDevicePath(int n);

// The text a link holds, exactly as written (not resolved); empty when
// `linkPath` is no link.
[[nodiscard]] QString LinkText(const QString &linkPath);

// The text the com<n> entry links to, as LinkText gives it. On Windows the
// serial server's address stored for port n (see SetPortEntry).
[[nodiscard]] QString PortLinkText(int n);

#ifdef Q_OS_WIN
// Where port n's serial server is stored on Windows, for messages.
[[nodiscard]] QString PortEntryPlace(int n);
// Stores a serial server's address for port n, or removes it when `address`
// is empty; false when the store cannot be written.
[[nodiscard]] bool SetPortEntry(int n, const QString &address);
// Every port number that has a serial server stored, with its address.
[[nodiscard]] QMap<int, QString> StoredPortEntries();
#endif
