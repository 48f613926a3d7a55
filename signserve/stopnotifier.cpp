#include "stopnotifier.h"

#include <QSocketNotifier>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int Handled[] = {SIGINT, SIGTERM, SIGHUP};

// The pipe the handler writes to: a handler may only write to a descriptor.
int wakeUp[2] = {-1, -1};

extern "C" void WakeUpLoop(int)
{
    const char byte = 0;
    [[maybe_unused]] const ssize_t written = ::write(wakeUp[1], &byte, 1);
}

} // namespace

StopNotifier::StopNotifier(QObject *parent)
    : QObject(parent)
{
    if (::pipe2(wakeUp, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    m_notifier = new QSocketNotifier(wakeUp[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, [this] {
        char byte = 0;
        while (::read(wakeUp[0], &byte, 1) > 0) {
        }
        Q_EMIT StopRequested();
    });
    struct sigaction action {};
    action.sa_handler = WakeUpLoop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signal : Handled)
        sigaction(signal, &action, nullptr);
}

StopNotifier::~StopNotifier()
{
    for (const int signal : Handled)
        std::signal(signal, SIG_DFL);
    delete m_notifier;
    for (int &fd : wakeUp)
        if (fd >= 0)
            ::close(std::exchange(fd, -1));
}
