#pragma once

#include <QString>

#include <memory>
#include <optional>

// The console's names for serial ports on this system: port n is the entry
// "com<n>" in its ports folder ($XDG_CONFIG_HOME/VantorMsgBoard/ports, the
// config home being ~/.config when the variable is unset, empty or relative)
// when that entry exists, and the device /dev/ttyS<n-1> otherwise.
class PortDirectory
{
public:
    static constexpr int HighestPort = 32767;

    // The console's folder from the environment, over the real /dev/ttyS<n>.
    PortDirectory();
    // Another folder and device prefix, so that the rules can be tried on
    // paths that a test controls.
    PortDirectory(QString portsFolder, QString fallbackDevicePrefix);

    [[nodiscard]] QString portsFolder() const { return m_portsFolder; }
    [[nodiscard]] QString linkPath(int port) const;
    [[nodiscard]] QString fallbackDevicePath(int port) const;

    // True when port n already names something: an entry in the ports folder
    // (even a link to nothing, unless a killed sign left it) or the fallback
    // device.
    [[nodiscard]] bool isTaken(int port) const;
    // The lowest port from 1 on that is not taken; nullopt when all are.
    [[nodiscard]] std::optional<int> lowestFreePort() const;

private:
    QString m_portsFolder;
    QString m_fallbackDevicePrefix;
};

// "COM5" -> 5: the port the console would open for the same argument ("COM"
// and a decimal number, any case, spaces around it and after "COM", leading
// zeros allowed), from 1 to 32767. Nullopt for anything else, a blank
// argument and port 0 included.
[[nodiscard]] std::optional<int> ParsePortArgument(const QString &argument);

// The link that makes a console port lead to a device, removed again when
// this object goes, provided it still leads there. It never replaces an entry
// that was there before it, except a link a killed sign left behind.
class PortLink
{
public:
    // Null on failure (the entry exists already, or the folder cannot be
    // written); `errorString` then says why.
    [[nodiscard]] static std::unique_ptr<PortLink> claim(const PortDirectory &ports, int port,
                                                         const QString &device, QString *errorString);
    // Claims the lowest port that is not taken, moving on when another
    // program takes a port between the look and the claim.
    [[nodiscard]] static std::unique_ptr<PortLink> claimLowestFree(const PortDirectory &ports,
                                                                   const QString &device,
                                                                   QString *errorString);
    ~PortLink();
    PortLink(const PortLink &) = delete;
    PortLink &operator=(const PortLink &) = delete;

    [[nodiscard]] int port() const { return m_port; }
    [[nodiscard]] QString portName() const { return QStringLiteral("COM%1").arg(m_port); }
    [[nodiscard]] QString linkPath() const { return m_linkPath; }
    [[nodiscard]] QString device() const { return m_device; }

private:
    PortLink(int port, QString linkPath, QString device);

    const int m_port;
    const QString m_linkPath;
    const QString m_device;
};
