#pragma once

#include "uniquefd.h"

#include <QObject>

class QSocketNotifier;

// Turns SIGINT, SIGTERM and SIGHUP into a Qt signal, so that the program ends
// through its event loop and its destructors run (the port link among them).
//
// The signals are read from a signalfd. They must be blocked before any
// thread starts, or a thread that leaves them unblocked would take them the
// default way: call blockTerminationSignals() first thing in main().
class TerminationSignals : public QObject
{
    Q_OBJECT

public:
    // Blocks the three signals in the calling thread and in every thread it
    // starts from now on. False when the mask could not be set.
    [[nodiscard]] static bool blockTerminationSignals();

    explicit TerminationSignals(QObject *parent = nullptr);
    ~TerminationSignals() override;

    [[nodiscard]] bool isValid() const { return m_fd.isValid(); }

Q_SIGNALS:
    void terminationRequested(int signalNumber);

private:
    void readSignal();

    const UniqueFd m_fd;
    QSocketNotifier *const m_notifier;
};
