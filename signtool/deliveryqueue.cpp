#include "deliveryqueue.h"

#include "outputprogress.h"

DeliveryQueue::DeliveryQueue(SerialControl &port, QObject *parent)
    : QObject(parent)
    , m_port(port)
{
    m_watch.setInterval(OutputTiming::DrainPollMs);
    connect(&m_watch, &QTimer::timeout, this, &DeliveryQueue::CheckLeft);
}

void DeliveryQueue::Send(const QString &text, Done done)
{
    const PortStatus written = m_port.Output(text);
    if (!written.ok) {
        done(written);
        return;
    }
    m_waiting.append(std::move(done));
    CheckLeft();
}

void DeliveryQueue::PortFailed(const QString &description)
{
    FinishAll(PortStatus::Failure(description));
}

void DeliveryQueue::CheckLeft()
{
    // One queue in order: when it is empty, every string in it has left.
    if (m_port.BytesPending() == 0)
        FinishAll(PortStatus::Success());
    else if (!m_watch.isActive())
        m_watch.start();
}

void DeliveryQueue::FinishAll(const PortStatus &outcome)
{
    m_watch.stop();
    const QList<Done> waiting = std::exchange(m_waiting, {});
    for (const Done &done : waiting)
        done(outcome);
}
