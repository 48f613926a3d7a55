#pragma once

// Whether a port's output is still moving. A slow line is no fault: bytes
// leave at its pace however long the queue. Only a device that takes no byte
// at all for a while is stuck. The watch is fed what is still queued (the
// serial library's buffer and the kernel's output queue together) with the
// time it was seen, and tells when nothing has left for the allowed time.

#include <QtGlobal>

// The timing every port's output is watched with, devices and network alike.
namespace OutputTiming {
// How long a port may take no byte at all, with bytes waiting, before it
// counts as stuck. A working line takes bytes continuously at its baud rate,
// however slow; only a stuck device or server stays still this long.
inline constexpr int StallMs = 2000;
// How often queued output is looked at while it goes out.
inline constexpr int WatchMs = 200;
// How long the drain at close sleeps between looks at the system's queue.
inline constexpr int DrainPollMs = 20;
} // namespace OutputTiming

class OutputProgress
{
public:
    explicit OutputProgress(qint64 allowedStillMs) : m_allowedStillMs(allowedStillMs) {}

    // Starts a watch at `pending` bytes queued.
    void Start(qint64 pending, qint64 nowMs);
    // Takes a new look. A queue that grew (more was sent) is no progress;
    // one that shrank is. True exactly once per stall: on the first look at
    // which nothing has left for the allowed time.
    [[nodiscard]] bool Observe(qint64 pending, qint64 nowMs);
    // True while nothing has left for the allowed time.
    [[nodiscard]] bool Stalled() const { return m_stalled; }

private:
    qint64 m_allowedStillMs;
    qint64 m_pending = 0;
    qint64 m_lastMovedMs = 0;
    bool m_stalled = false;
};
