#pragma once

#include "uniquefd.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

// The sign's end of a pseudo-terminal pair in raw mode. The console opens the
// slave device as its serial port; what it writes arrives here.
//
// The slave is held open as well for as long as this object lives: without
// that, the master reports a hang-up as soon as one console closes the port,
// and the line would be dead for the next console that opens it.
//
// A console may take the slave for itself (TIOCEXCL) and end without giving
// it back, when it is killed. Whenever someone closes the slave, the line is
// therefore made shared again, or the next console would be refused.
class PseudoTerminal : public QObject
{
    Q_OBJECT

public:
    // Null when no pseudo-terminal could be had; `errorString` then says why.
    [[nodiscard]] static std::unique_ptr<PseudoTerminal> open(QString *errorString);
    ~PseudoTerminal() override;

    // The slave device, such as "/dev/pts/3".
    [[nodiscard]] QString devicePath() const { return m_devicePath; }
    // The slave as this process holds it, "/proc/<pid>/fd/<n>": a name that
    // leads to the device only while this process lives. Once it is gone,
    // even by kill -9, the name leads nowhere, where the device's own name
    // may by then belong to another program's terminal.
    [[nodiscard]] QString processBoundPath() const;

Q_SIGNALS:
    void received(const QByteArray &bytes);

private:
    PseudoTerminal(UniqueFd master, UniqueFd slave, UniqueFd closeWatch, QString devicePath);
    void readAvailable();
    void releaseAfterClose();

    const UniqueFd m_master;
    const UniqueFd m_slave;
    const UniqueFd m_closeWatch;  // inotify: someone closed the slave
    const QString m_devicePath;
    QSocketNotifier *const m_notifier;
    QSocketNotifier *const m_closeNotifier;
};
