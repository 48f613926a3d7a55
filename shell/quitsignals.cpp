#include "quitsignals.h"

#ifdef Q_OS_WIN

// Windows ends a window program with WM_CLOSE (a logout, the task manager's
// End task), which reaches the main window's close event as Exit does: there
// is nothing to catch.
QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
}

QuitSignals::~QuitSignals() = default;

void QuitSignals::watch()
{
}

void QuitSignals::readSignals()
{
}

#else

#include <QSocketNotifier>

#include <array>
#include <cerrno>
#include <csignal>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr std::array QuitSignalNumbers {SIGINT, SIGTERM, SIGHUP};

// Read end and write end; a handler can reach nothing but a global.
int g_pipe[2] = {-1, -1};

void WriteSignalNumber(int signalNumber)
{
    const int savedErrno = errno;
    const auto byte = static_cast<unsigned char>(signalNumber);
    // A full pipe already holds a request to quit: this one adds nothing.
    [[maybe_unused]] const ssize_t written = ::write(g_pipe[1], &byte, 1);
    errno = savedErrno;
}

// A signal that the console was started with ignored (nohup, a job of a
// script) stays ignored: whoever started it wanted it to outlive them.
void SetHandler(void (*handler)(int))
{
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : QuitSignalNumbers) {
        struct sigaction previous {};
        if (::sigaction(signalNumber, nullptr, &previous) == 0 && previous.sa_handler == SIG_IGN)
            continue;
        ::sigaction(signalNumber, &action, nullptr);
    }
}

} // namespace

QuitSignals::QuitSignals(QObject *parent)
    : QObject(parent)
{
    Q_ASSERT(g_pipe[0] < 0);
    if (::pipe2(g_pipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;  // the signals keep their default action
    SetHandler(WriteSignalNumber);
}

QuitSignals::~QuitSignals()
{
    if (g_pipe[0] < 0)
        return;
    SetHandler(SIG_DFL);
    delete m_notifier;
    ::close(g_pipe[0]);
    ::close(g_pipe[1]);
    g_pipe[0] = g_pipe[1] = -1;
}

void QuitSignals::watch()
{
    if (g_pipe[0] < 0 || m_notifier)
        return;
    m_notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &QuitSignals::readSignals);
}

void QuitSignals::readSignals()
{
    unsigned char byte = 0;
    while (::read(g_pipe[0], &byte, 1) == 1)
        Q_EMIT quitRequested(byte);
}

#endif
