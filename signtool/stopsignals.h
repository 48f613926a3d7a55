#pragma once

// Lets `vantor-sign send -` end cleanly when it is told to stop (Ctrl-C on
// `tail -f log | vantor-sign send -`, a service manager's SIGTERM, a closed
// terminal's SIGHUP): the read of standard input is interrupted, the port is
// drained and closed, and its lock file removed; then the program ends by the
// same signal, so that the shell sees how it ended.

#include <QtGlobal>

#include <csignal>

class StopSignals
{
public:
    // Catches SIGINT, SIGTERM and SIGHUP while the object lives, without
    // restarting the read they interrupt.
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals &) = delete;
    StopSignals &operator=(const StopSignals &) = delete;

    // The signal caught so far, 0 for none.
    [[nodiscard]] static int Caught();
    // Ends the program by the caught signal, with its default action; does
    // nothing when none was caught.
    void RaiseCaught();

private:
#ifdef Q_OS_WIN
    using Handler = void (*)(int);
    Handler m_previous[2] {};
#else
    struct sigaction m_previous[3] {};
#endif
};
