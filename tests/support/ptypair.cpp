#include "ptypair.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <limits>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyPair::PtyPair()
{
    char name[256] = {};
    termios raw {};
    cfmakeraw(&raw);
    if (openpty(&m_master, &m_slave, name, &raw, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    m_slavePath = QString::fromLocal8Bit(name);
}

PtyPair::~PtyPair()
{
    hangUp();
}

void PtyPair::hangUp()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

QByteArray PtyPair::readMaster(qsizetype count, int timeoutMs)
{
    QByteArray received;
    while (received.size() < count) {
        pollfd pfd {m_master, POLLIN, 0};
        const int ready = ::poll(&pfd, 1, timeoutMs);
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            break;
        char buffer[4096];
        const ssize_t got = ::read(m_master, buffer, sizeof buffer);
        if (got <= 0)
            break;
        received.append(buffer, got);
    }
    return received;
}

QByteArray PtyPair::readMasterAtMost(qsizetype count, int timeoutMs)
{
    pollfd pfd {m_master, POLLIN, 0};
    if (::poll(&pfd, 1, timeoutMs) <= 0)
        return {};
    QByteArray bytes(count, Qt::Uninitialized);
    const ssize_t got = ::read(m_master, bytes.data(), bytes.size());
    bytes.truncate(got > 0 ? got : 0);
    return bytes;
}

QByteArray PtyPair::drainMaster(int quietMs)
{
    return readMaster(std::numeric_limits<qsizetype>::max(), quietMs);
}

TempConfigHome::TempConfigHome()
{
    QTemporaryDir dir(QDir::tempPath() + QStringLiteral("/vmb-config-XXXXXX"));
    dir.setAutoRemove(false);
    m_path = dir.path();
    m_hadPrevious = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_previous = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_path));
}

TempConfigHome::~TempConfigHome()
{
    if (m_hadPrevious)
        qputenv("XDG_CONFIG_HOME", m_previous);
    else
        qunsetenv("XDG_CONFIG_HOME");
    QDir(m_path).removeRecursively();
}

bool TempConfigHome::linkPort(int n, const QString &devicePath) const
{
    const QString ports = m_path + QStringLiteral("/VantorMsgBoard/ports");
    if (!QDir().mkpath(ports))
        return false;
    const QString link = ports + QStringLiteral("/com") + QString::number(n);
    QFile::remove(link);
    return QFile::link(devicePath, link);
}

bool TempConfigHome::linkPortToText(int n, const QString &target) const
{
    const QString ports = m_path + QStringLiteral("/VantorMsgBoard/ports");
    if (!QDir().mkpath(ports))
        return false;
    const QByteArray link = QFile::encodeName(ports + QStringLiteral("/com") + QString::number(n));
    ::unlink(link.constData());
    return ::symlink(QFile::encodeName(target).constData(), link.constData()) == 0;
}
