#include "portlisting.h"

#include "networkport.h"
#include "portnaming.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <QSerialPortInfo>
#endif

#include <algorithm>
#include <iterator>

namespace {

// The device a path leads to, links followed; empty when it leads nowhere.
QString Resolved(const QString &path)
{
    return QFileInfo(path).canonicalFilePath();
}

std::optional<int> BuiltInPort(const QString &devicePath)
{
#ifdef Q_OS_WIN
    static const QRegularExpression builtIn(QStringLiteral("^COM([1-9]\\d{0,4})$"));
    constexpr int FirstNumber = 0;
#else
    static const QRegularExpression builtIn(QStringLiteral("^/dev/ttyS(\\d{1,5})$"));
    constexpr int FirstNumber = 1;
#endif
    const QRegularExpressionMatch match = builtIn.match(devicePath);
    if (!match.hasMatch())
        return std::nullopt;
    const int port = match.captured(1).toInt() + FirstNumber;
    return port <= 32767 ? std::optional<int>(port) : std::nullopt;
}

} // namespace

std::optional<int> PortFromLinkName(const QString &fileName)
{
    static const QRegularExpression form(QStringLiteral("^com([1-9]\\d{0,4})$"));
    const QRegularExpressionMatch match = form.match(fileName);
    if (!match.hasMatch())
        return std::nullopt;
    const int port = match.captured(1).toInt();
    return port <= 32767 ? std::optional<int>(port) : std::nullopt;
}

std::optional<qint64> VirtualSignProcess(const QString &linkTarget)
{
    static const QRegularExpression form(QStringLiteral("^/proc/(\\d{1,10})/fd/\\d+$"));
    const QRegularExpressionMatch match = form.match(linkTarget);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toLongLong();
}

QList<int> PortsNaming(const QString &devicePath, const QList<PortLinkEntry> &links)
{
    QList<int> ports;
    for (const PortLinkEntry &link : links) {
        if (!link.resolved.isEmpty() && link.resolved == devicePath)
            ports.append(link.port);
    }
    // A link of the same number wins over the built-in rule, wherever it leads.
    if (const std::optional<int> builtIn = BuiltInPort(devicePath)) {
        const bool linked = std::any_of(links.begin(), links.end(),
                                        [&](const PortLinkEntry &link) { return link.port == *builtIn; });
        if (!linked)
            ports.append(*builtIn);
    }
    std::sort(ports.begin(), ports.end());
    return ports;
}

PortListing ShapeListing(const QList<SerialDevice> &devices, const QList<PortLinkEntry> &links,
                         const StableNames &stableNames, const HolderLookup &holderOf)
{
    PortListing listing;
    QStringList listedPaths;
    for (const SerialDevice &device : devices) {
        listedPaths.append(device.path);
        listing.devices.append({device, stableNames.value(device.path), holderOf(device.path),
                                PortsNaming(device.path, links)});
    }
    for (const PortLinkEntry &link : links) {
        if (link.resolved.isEmpty() || !listedPaths.contains(link.resolved))
            listing.otherLinks.append({link, link.resolved.isEmpty() ? std::nullopt : holderOf(link.resolved)});
    }
    return listing;
}

#ifdef Q_OS_WIN
QList<SerialDevice> AvailableSerialDevices()
{
    // The system lists its ports here, each under the driver's device name
    // with the COM<n> name programs open it by as the value. (QSettings
    // would read the backslashes in those names as key separators.)
    QList<SerialDevice> devices;
    HKEY map = nullptr;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_READ, &map)
        != ERROR_SUCCESS)
        return devices;
    for (DWORD i = 0;; ++i) {
        wchar_t name[256];
        DWORD nameLength = std::size(name);
        wchar_t value[256] = {};
        DWORD valueBytes = sizeof(value) - sizeof(wchar_t);
        DWORD type = 0;
        if (::RegEnumValueW(map, i, name, &nameLength, nullptr, &type, reinterpret_cast<BYTE *>(value),
                            &valueBytes)
            != ERROR_SUCCESS)
            break;
        if (type != REG_SZ)
            continue;
        SerialDevice device;
        device.path = QString::fromWCharArray(value);
        device.description = QString::fromWCharArray(name, int(nameLength));
        devices.append(device);
    }
    ::RegCloseKey(map);
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice &a, const SerialDevice &b) { return a.path < b.path; });
    return devices;
}
#else
QList<SerialDevice> AvailableSerialDevices()
{
    QList<SerialDevice> devices;
    for (const QSerialPortInfo &info : QSerialPortInfo::availablePorts()) {
        SerialDevice device;
        const QString resolved = Resolved(info.systemLocation());
        device.path = resolved.isEmpty() ? info.systemLocation() : resolved;
        device.description = info.description();
        device.manufacturer = info.manufacturer();
        device.serialNumber = info.serialNumber();
        if (info.hasVendorIdentifier())
            device.vendorId = info.vendorIdentifier();
        if (info.hasProductIdentifier())
            device.productId = info.productIdentifier();
        devices.append(device);
    }
    std::sort(devices.begin(), devices.end(),
              [](const SerialDevice &a, const SerialDevice &b) { return a.path < b.path; });
    return devices;
}
#endif

QList<PortLinkEntry> ScanPortLinks(const QString &folder)
{
    QList<PortLinkEntry> links;
    const QDir dir(folder);
    const QFileInfoList entries = dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    for (const QFileInfo &entry : entries) {
        const std::optional<int> port = PortFromLinkName(entry.fileName());
        if (!port)
            continue;
        // A serial server's address is kept as written; a device path made absolute.
        const QString text = LinkText(entry.absoluteFilePath());
        const QString target = LooksLikeNetworkPort(text) ? text
            : entry.isSymLink()                          ? entry.symLinkTarget()
                                                         : entry.absoluteFilePath();
        const QString resolved = Resolved(entry.absoluteFilePath());
        const std::optional<qint64> sign = VirtualSignProcess(target);
        // Another user's /proc/<pid>/fd cannot be followed, though the process lives.
        const bool otherUsersSign = resolved.isEmpty() && sign
            && QFileInfo::exists(QStringLiteral("/proc/%1").arg(*sign));
        links.append({*port, entry.absoluteFilePath(), target, resolved, otherUsersSign});
    }
    std::sort(links.begin(), links.end(),
              [](const PortLinkEntry &a, const PortLinkEntry &b) { return a.port < b.port; });
    return links;
}

StableNames ScanStableNames(const QString &byIdFolder)
{
    StableNames names;
    const QDir dir(byIdFolder);
    for (const QFileInfo &entry : dir.entryInfoList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot,
                                                    QDir::Name)) {
        const QString device = Resolved(entry.absoluteFilePath());
        if (!device.isEmpty())
            names[device].append(entry.absoluteFilePath());
    }
    return names;
}

#ifdef Q_OS_WIN
QList<PortLinkEntry> ScanPortEntries()
{
    QList<PortLinkEntry> entries;
    const QMap<int, QString> stored = StoredPortEntries();
    for (auto entry = stored.cbegin(); entry != stored.cend(); ++entry)
        entries.append({entry.key(), PortEntryPlace(entry.key()), entry.value(), QString(), false});
    return entries;
}
#endif

PortListing ListPorts()
{
#ifdef Q_OS_WIN
    const QList<PortLinkEntry> entries = ScanPortEntries();
#else
    const QList<PortLinkEntry> entries = ScanPortLinks(PortLinksFolder());
#endif
    return ShapeListing(AvailableSerialDevices(), entries, ScanStableNames(QString::fromLatin1(StableNamesFolder)),
                        LiveLockHolder);
}
