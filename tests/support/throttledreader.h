#pragma once

#include "ptypair.h"

#include <QByteArray>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

// Reads a pseudo-terminal's master side on a thread of its own at a fixed
// pace, as a sign on a slow line takes bytes: `bytesPerTick` every
// `tickMs` (96 bytes every 100 ms is 9600 bit/s).
class ThrottledReader
{
public:
    ThrottledReader(PtyPair &pty, qsizetype bytesPerTick, int tickMs)
        : m_thread([this, &pty, bytesPerTick, tickMs] {
            while (!m_stop) {
                const auto next = std::chrono::steady_clock::now() + std::chrono::milliseconds(tickMs);
                const QByteArray got = pty.readMasterAtMost(bytesPerTick, tickMs);
                {
                    const std::lock_guard lock(m_mutex);
                    m_received += got;
                }
                std::this_thread::sleep_until(next);
            }
        })
    {
    }
    ~ThrottledReader()
    {
        m_stop = true;
        m_thread.join();
    }
    ThrottledReader(const ThrottledReader &) = delete;
    ThrottledReader &operator=(const ThrottledReader &) = delete;

    [[nodiscard]] QByteArray received() const
    {
        const std::lock_guard lock(m_mutex);
        return m_received;
    }

private:
    mutable std::mutex m_mutex;
    QByteArray m_received;
    std::atomic<bool> m_stop = false;
    std::thread m_thread;
};
