#pragma once

#include <QScopedValueRollback>

#include <utility>

// The main window's EventBusy: set while one of its field handlers works, so
// that a handler raised by that work (a message box moving the focus, the
// program selecting a history entry) returns at once and does nothing. One
// thread only: a guard against re-entry, not a lock.
class ReentryGuard
{
public:
    // Runs `work` with the guard set, unless it is set already; every way
    // out of `work` clears it. True when `work` ran.
    template <typename Work>
    bool Run(Work &&work)
    {
        if (m_busy)
            return false;
        const QScopedValueRollback<bool> busy(m_busy, true);
        std::forward<Work>(work)();
        return true;
    }

    [[nodiscard]] bool IsSet() const { return m_busy; }

private:
    bool m_busy = false;
};
