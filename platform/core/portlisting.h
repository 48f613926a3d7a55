#pragma once

// What `vantor-sign ports` finds out: the serial devices on this system, the
// COM<n> numbers that name each today, and the COM<n> links to anything else
// (a pseudo-terminal, a device that is gone, a serial server on the network).
//
// Gathering reads the system; shaping the findings into a listing is a pure
// function, so that the rules (which numbers name a device, what counts as
// another link) are tested without hardware.

#include "portlock.h"

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

// One device as the serial library describes it.
struct SerialDevice
{
    QString path;  // /dev/ttyUSB0
    QString description;
    QString manufacturer;
    QString serialNumber;
    std::optional<quint16> vendorId;
    std::optional<quint16> productId;
};

// One ports/com<n> entry.
struct PortLinkEntry
{
    int port = 0;
    QString linkPath;
    QString target;    // where the entry points, made absolute; a network address as written
    QString resolved;  // the device it leads to, links followed; empty when it leads nowhere
    // A virtual sign's link that this user may not follow: the sign runs, as
    // another user.
    bool otherUsersSign = false;
};

struct ListedDevice
{
    SerialDevice device;
    QStringList stableNames;  // /dev/serial/by-id names of the device
    std::optional<PortHolder> holder;  // none when free
    QList<int> ports;         // the COM<n> numbers that name it, ascending
};

struct ListedLink
{
    PortLinkEntry link;
    std::optional<PortHolder> holder;
};

struct PortListing
{
    QList<ListedDevice> devices;
    QList<ListedLink> otherLinks;  // links that lead to none of the devices
};

// Device path (links resolved) -> the by-id names that lead to it.
using StableNames = QHash<QString, QStringList>;
using HolderLookup = std::function<std::optional<PortHolder>(const QString &devicePath)>;

// The COM<n> numbers that name `devicePath` (links resolved): the links that
// lead to it, and COM<k+1> for /dev/ttyS<k> when no com<k+1> link exists.
[[nodiscard]] QList<int> PortsNaming(const QString &devicePath, const QList<PortLinkEntry> &links);

// The port number of a ports/com<n> entry name ("com3" -> 3), as the console
// writes them: plain decimal from 1. No value for any other name.
[[nodiscard]] std::optional<int> PortFromLinkName(const QString &fileName);

// The process of a virtual sign whose link this is: its pseudo-terminal is
// held as /proc/<pid>/fd/<n>, so the link dies with the process.
[[nodiscard]] std::optional<qint64> VirtualSignProcess(const QString &linkTarget);

// Puts the findings together.
[[nodiscard]] PortListing ShapeListing(const QList<SerialDevice> &devices, const QList<PortLinkEntry> &links,
                                       const StableNames &stableNames, const HolderLookup &holderOf);

// The system's side.
[[nodiscard]] QList<SerialDevice> AvailableSerialDevices();
[[nodiscard]] QList<PortLinkEntry> ScanPortLinks(const QString &folder);
#ifdef Q_OS_WIN
// Windows keeps a port's serial server in the settings store, not as a link.
[[nodiscard]] QList<PortLinkEntry> ScanPortEntries();
#endif
[[nodiscard]] StableNames ScanStableNames(const QString &byIdFolder);
[[nodiscard]] PortListing ListPorts();

// Where the system keeps the stable names of serial devices.
inline constexpr char StableNamesFolder[] = "/dev/serial/by-id";
