#include "outputprogress.h"

void OutputProgress::Start(qint64 pending, qint64 nowMs)
{
    m_pending = pending;
    m_lastMovedMs = nowMs;
    m_stalled = false;
}

bool OutputProgress::Observe(qint64 pending, qint64 nowMs)
{
    if (pending < m_pending)
        m_lastMovedMs = nowMs;
    m_pending = pending;
    if (pending == 0 || nowMs - m_lastMovedMs < m_allowedStillMs) {
        m_stalled = false;
        return false;
    }
    const bool newlyStalled = !m_stalled;
    m_stalled = true;
    return newlyStalled;
}
