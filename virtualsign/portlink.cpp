#include "portlink.h"

#include "commport.h"
#include "portnaming.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <cerrno>
#include <cstring>

#include <sys/stat.h>
#include <unistd.h>

namespace {

bool EntryExists(const QString &path)
{
    struct stat info {};
    return ::lstat(QFile::encodeName(path).constData(), &info) == 0;
}

// What the link at `path` leads to, exactly as written; empty when it is no link.
QString LinkTarget(const QString &path)
{
    char target[4096];
    const ssize_t length = ::readlink(QFile::encodeName(path).constData(), target, sizeof target);
    if (length < 0 || length == static_cast<ssize_t>(sizeof target))
        return {};
    return QFile::decodeName(QByteArray(target, length));
}

// A link that a sign killed before it could remove it left behind: it leads
// to a descriptor of a process that is gone (see
// PseudoTerminal::processBoundPath). Any other entry, even a link to a
// device that is unplugged now, is someone's choice and stays.
bool IsLeftByDeadSign(const QString &linkPath)
{
    static const QRegularExpression processBound(QStringLiteral("^/proc/[0-9]+/fd/[0-9]+$"));
    const QString target = LinkTarget(linkPath);
    if (!processBound.match(target).hasMatch())
        return false;
    struct stat info {};
    return ::lstat(QFile::encodeName(target).constData(), &info) != 0 && errno == ENOENT;
}

enum class LinkOutcome { Created, Taken, Failed };

LinkOutcome CreateLink(const QString &device, const QString &linkPath, QString *errorString)
{
    const QByteArray target = QFile::encodeName(device);
    const QByteArray link = QFile::encodeName(linkPath);
    // symlink() refuses an existing entry, so looking and creating are one step.
    if (::symlink(target.constData(), link.constData()) == 0)
        return LinkOutcome::Created;
    // A dead sign's link is taken over; should another sign take it over
    // first, symlink() refuses again and the port counts as taken.
    if (errno == EEXIST) {
        if (!IsLeftByDeadSign(linkPath))
            return LinkOutcome::Taken;
        if (::unlink(link.constData()) == 0 && ::symlink(target.constData(), link.constData()) == 0)
            return LinkOutcome::Created;
        if (errno == EEXIST || errno == ENOENT)
            return LinkOutcome::Taken;
    }
    *errorString = QStringLiteral("cannot create %1: %2")
                       .arg(linkPath, QString::fromLocal8Bit(std::strerror(errno)));
    return LinkOutcome::Failed;
}

bool MakeFolder(const PortDirectory &ports, QString *errorString)
{
    if (QDir().mkpath(ports.portsFolder()))
        return true;
    *errorString = QStringLiteral("cannot create the folder %1").arg(ports.portsFolder());
    return false;
}

} // namespace

PortDirectory::PortDirectory()
    : PortDirectory(PortLinksFolder(), QStringLiteral("/dev/ttyS"))
{
}

PortDirectory::PortDirectory(QString portsFolder, QString fallbackDevicePrefix)
    : m_portsFolder(std::move(portsFolder))
    , m_fallbackDevicePrefix(std::move(fallbackDevicePrefix))
{
}

QString PortDirectory::linkPath(int port) const
{
    return m_portsFolder + QStringLiteral("/com") + QString::number(port);
}

QString PortDirectory::fallbackDevicePath(int port) const
{
    return m_fallbackDevicePrefix + QString::number(port - 1);
}

bool PortDirectory::isTaken(int port) const
{
    const QString link = linkPath(port);
    return (EntryExists(link) && !IsLeftByDeadSign(link)) || EntryExists(fallbackDevicePath(port));
}

std::optional<int> PortDirectory::lowestFreePort() const
{
    for (int port = 1; port <= HighestPort; ++port) {
        if (!isTaken(port))
            return port;
    }
    return std::nullopt;
}

std::optional<int> ParsePortArgument(const QString &argument)
{
    // The console's own reader, so that the sign serves exactly the ports the
    // console can be told to use. A blank argument is no port here: the
    // caller picks the lowest free one instead of the console's COM1.
    if (argument.trimmed().isEmpty())
        return std::nullopt;
    const std::optional<int> port = PortNumberFromArgument(argument);
    if (!port || *port < 1)
        return std::nullopt;
    return port;
}

std::unique_ptr<PortLink> PortLink::claim(const PortDirectory &ports, int port, const QString &device,
                                          QString *errorString)
{
    if (!MakeFolder(ports, errorString))
        return nullptr;
    const QString linkPath = ports.linkPath(port);
    switch (CreateLink(device, linkPath, errorString)) {
    case LinkOutcome::Created:
        return std::unique_ptr<PortLink>(new PortLink(port, linkPath, device));
    case LinkOutcome::Taken:
        *errorString = QStringLiteral("COM%1 is taken: %2 exists already and is not ours; "
                                      "remove it or choose another port")
                           .arg(QString::number(port), linkPath);
        return nullptr;
    case LinkOutcome::Failed:
        break;
    }
    return nullptr;
}

std::unique_ptr<PortLink> PortLink::claimLowestFree(const PortDirectory &ports, const QString &device,
                                                    QString *errorString)
{
    if (!MakeFolder(ports, errorString))
        return nullptr;
    for (int port = 1; port <= PortDirectory::HighestPort; ++port) {
        if (ports.isTaken(port))
            continue;
        const QString linkPath = ports.linkPath(port);
        switch (CreateLink(device, linkPath, errorString)) {
        case LinkOutcome::Created:
            return std::unique_ptr<PortLink>(new PortLink(port, linkPath, device));
        case LinkOutcome::Taken:
            continue;
        case LinkOutcome::Failed:
            return nullptr;
        }
    }
    *errorString = QStringLiteral("every port from COM1 to COM%1 is taken").arg(PortDirectory::HighestPort);
    return nullptr;
}

PortLink::PortLink(int port, QString linkPath, QString device)
    : m_port(port)
    , m_linkPath(std::move(linkPath))
    , m_device(std::move(device))
{
}

PortLink::~PortLink()
{
    // Someone may have replaced the link meanwhile; theirs stays.
    if (LinkTarget(m_linkPath) == m_device)
        ::unlink(QFile::encodeName(m_linkPath).constData());
}
