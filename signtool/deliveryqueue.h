#pragma once

// Strings for the port from more than one source, in the order they came,
// each with someone waiting to hear that it has left for the device or that
// the port failed. The port's own queue keeps the order; this only watches
// it empty.

#include "serialcontrol.h"

#include <QList>
#include <QObject>
#include <QTimer>

#include <functional>

class DeliveryQueue final : public QObject
{
    Q_OBJECT

public:
    // Told once per string: success when it has left, else the failure.
    using Done = std::function<void(const PortStatus &outcome)>;

    explicit DeliveryQueue(SerialControl &port, QObject *parent = nullptr);

    // Queues the text behind everything queued so far, by this queue or
    // directly on the port.
    void Send(const QString &text, Done done);
    // The port's failure handler passes its reports here: every string still
    // waiting is told.
    void PortFailed(const QString &description);

private:
    void CheckLeft();
    void FinishAll(const PortStatus &outcome);

    SerialControl &m_port;
    QTimer m_watch;
    QList<Done> m_waiting;
};
