#include "terminationsignals.h"

#include <QSocketNotifier>

#include <csignal>

#include <pthread.h>
#include <sys/signalfd.h>

namespace {

sigset_t TerminationSet()
{
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    sigaddset(&set, SIGHUP);
    return set;
}

int OpenSignalFd()
{
    const sigset_t set = TerminationSet();
    return ::signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
}

} // namespace

bool TerminationSignals::blockTerminationSignals()
{
    const sigset_t set = TerminationSet();
    return ::pthread_sigmask(SIG_BLOCK, &set, nullptr) == 0;
}

TerminationSignals::TerminationSignals(QObject *parent)
    : QObject(parent)
    , m_fd(OpenSignalFd())
    , m_notifier(new QSocketNotifier(m_fd.get(), QSocketNotifier::Read, this))
{
    m_notifier->setEnabled(m_fd.isValid());
    connect(m_notifier, &QSocketNotifier::activated, this, &TerminationSignals::readSignal);
}

TerminationSignals::~TerminationSignals()
{
    m_notifier->setEnabled(false);
}

void TerminationSignals::readSignal()
{
    signalfd_siginfo info {};
    while (::read(m_fd.get(), &info, sizeof info) == static_cast<ssize_t>(sizeof info))
        Q_EMIT terminationRequested(static_cast<int>(info.ssi_signo));
}
