#include "stopsignals.h"

#include <iterator>

namespace {

#ifdef Q_OS_WIN
// Windows has no hang-up signal; Ctrl-C and a Ctrl-Break turned into
// SIGTERM by the runtime are all there is.
constexpr int Handled[] = {SIGINT, SIGTERM};
#else
constexpr int Handled[] = {SIGINT, SIGTERM, SIGHUP};
#endif

// Written by the handler only; a signal handler may touch nothing else.
volatile std::sig_atomic_t caughtSignal = 0;

extern "C" void RememberSignal(int signal)
{
    caughtSignal = signal;
}

} // namespace

#ifdef Q_OS_WIN
StopSignals::StopSignals()
{
    for (std::size_t i = 0; i < std::size(Handled); ++i)
        m_previous[i] = std::signal(Handled[i], RememberSignal);
}

StopSignals::~StopSignals()
{
    for (std::size_t i = 0; i < std::size(Handled); ++i)
        std::signal(Handled[i], m_previous[i]);
}
#else
StopSignals::StopSignals()
{
    struct sigaction action {};
    action.sa_handler = RememberSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;  // no SA_RESTART: the blocked read returns EINTR
    for (std::size_t i = 0; i < std::size(Handled); ++i)
        sigaction(Handled[i], &action, &m_previous[i]);
}

StopSignals::~StopSignals()
{
    for (std::size_t i = 0; i < std::size(Handled); ++i)
        sigaction(Handled[i], &m_previous[i], nullptr);
}
#endif

int StopSignals::Caught()
{
    return caughtSignal;
}

void StopSignals::RaiseCaught()
{
    const int signal = caughtSignal;
    if (signal == 0)
        return;
#ifdef Q_OS_WIN
    std::signal(signal, SIG_DFL);
#else
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
#endif
    std::raise(signal);
}
