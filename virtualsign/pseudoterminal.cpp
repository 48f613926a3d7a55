#include "pseudoterminal.h"

#include <QFile>
#include <QSocketNotifier>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/ioctl.h>
#include <termios.h>

namespace {

QString SystemError(const char *what)
{
    return QStringLiteral("%1: %2").arg(QString::fromLatin1(what), QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

std::unique_ptr<PseudoTerminal> PseudoTerminal::open(QString *errorString)
{
    UniqueFd master(::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
    if (!master.isValid()) {
        *errorString = SystemError("posix_openpt");
        return nullptr;
    }
    if (::grantpt(master.get()) != 0 || ::unlockpt(master.get()) != 0) {
        *errorString = SystemError("unlockpt");
        return nullptr;
    }
    char name[256] = {};
    if (::ptsname_r(master.get(), name, sizeof name) != 0) {
        *errorString = SystemError("ptsname");
        return nullptr;
    }
    UniqueFd slave(::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC));
    if (!slave.isValid()) {
        *errorString = SystemError(name);
        return nullptr;
    }
    // Raw: the console's CRs must reach the sign as CRs, not as line ends.
    termios raw {};
    if (::tcgetattr(slave.get(), &raw) != 0) {
        *errorString = SystemError("tcgetattr");
        return nullptr;
    }
    ::cfmakeraw(&raw);
    ::cfsetspeed(&raw, B9600);
    if (::tcsetattr(slave.get(), TCSANOW, &raw) != 0) {
        *errorString = SystemError("tcsetattr");
        return nullptr;
    }
    // Watched only now, so that the sign's own opening is not reported.
    UniqueFd closeWatch(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
    if (!closeWatch.isValid() || ::inotify_add_watch(closeWatch.get(), name, IN_CLOSE) < 0) {
        *errorString = SystemError("inotify");
        return nullptr;
    }
    return std::unique_ptr<PseudoTerminal>(new PseudoTerminal(
        std::move(master), std::move(slave), std::move(closeWatch), QFile::decodeName(name)));
}

PseudoTerminal::PseudoTerminal(UniqueFd master, UniqueFd slave, UniqueFd closeWatch, QString devicePath)
    : m_master(std::move(master))
    , m_slave(std::move(slave))
    , m_closeWatch(std::move(closeWatch))
    , m_devicePath(std::move(devicePath))
    , m_notifier(new QSocketNotifier(m_master.get(), QSocketNotifier::Read, this))
    , m_closeNotifier(new QSocketNotifier(m_closeWatch.get(), QSocketNotifier::Read, this))
{
    connect(m_notifier, &QSocketNotifier::activated, this, &PseudoTerminal::readAvailable);
    connect(m_closeNotifier, &QSocketNotifier::activated, this, &PseudoTerminal::releaseAfterClose);
}

PseudoTerminal::~PseudoTerminal()
{
    // The descriptors close after the notifiers have let go of them.
    m_notifier->setEnabled(false);
    m_closeNotifier->setEnabled(false);
}

QString PseudoTerminal::processBoundPath() const
{
    return QStringLiteral("/proc/%1/fd/%2").arg(::getpid()).arg(m_slave.get());
}

void PseudoTerminal::releaseAfterClose()
{
    alignas(inotify_event) char events[4096];
    while (::read(m_closeWatch.get(), events, sizeof events) > 0) {
    }
    ::ioctl(m_slave.get(), TIOCNXCL);
}

void PseudoTerminal::readAvailable()
{
    QByteArray bytes;
    char buffer[4096];
    for (;;) {
        const ssize_t got = ::read(m_master.get(), buffer, sizeof buffer);
        if (got > 0) {
            bytes.append(buffer, got);
            continue;
        }
        if (got < 0 && errno == EINTR)
            continue;
        break;  // EAGAIN: all read for now
    }
    if (!bytes.isEmpty())
        Q_EMIT received(bytes);
}
