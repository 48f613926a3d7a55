#pragma once

#include <QObject>

class QSocketNotifier;

// SIGINT, SIGTERM and SIGHUP (Ctrl+C, a closed terminal, a desktop logout)
// as a Qt signal, so that they end the console the way Exit does: through
// the main window's unload, which saves what the operator typed.
//
// The handler only writes the signal's number into a pipe; everything else
// runs from the event loop once the pipe is readable. A signal that arrives
// before watch() is called is kept in the pipe and delivered then.
// Processes the console starts inherit the default dispositions, not a
// blocked mask.
class QuitSignals : public QObject
{
    Q_OBJECT

public:
    // Installs the handlers. Only one instance may exist at a time.
    explicit QuitSignals(QObject *parent = nullptr);
    ~QuitSignals() override;

    // From now on each signal caught raises quitRequested().
    void watch();

Q_SIGNALS:
    void quitRequested(int signalNumber);

private:
    void readSignals();

    QSocketNotifier *m_notifier = nullptr;
};
