#pragma once

// SIGTERM, SIGINT and SIGHUP as a signal of the event loop, so that a
// service manager's stop ends the serving loop and the program leaves the
// broker, drains the port and removes its lock and socket on the way out.

#include <QObject>

class QSocketNotifier;

class StopNotifier final : public QObject
{
    Q_OBJECT

public:
    explicit StopNotifier(QObject *parent = nullptr);
    ~StopNotifier() override;

Q_SIGNALS:
    void StopRequested();

private:
    QSocketNotifier *m_notifier = nullptr;
};
