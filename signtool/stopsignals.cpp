#include "stopsignals.h"

#include <iterator>

namespace {

constexpr int Handled[] = {SIGINT, SIGTERM, SIGHUP};

// Written by the handler only; a signal handler may touch nothing else.
volatile std::sig_atomic_t caughtSignal = 0;

extern "C" void RememberSignal(int signal)
{
    caughtSignal = signal;
}

} // namespace

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

int StopSignals::Caught()
{
    return caughtSignal;
}

void StopSignals::RaiseCaught()
{
    const int signal = caughtSignal;
    if (signal == 0)
        return;
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    std::raise(signal);
}
