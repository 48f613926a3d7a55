#include "startupwait.h"

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>
#include <QWidget>
#include <QWindow>

namespace {

// Ends a wait once the window system has exposed the window. The quit is
// queued, so that the Expose event itself is handled first.
class ExposeWatch final : public QObject
{
public:
    ExposeWatch(QWindow *window, QEventLoop *loop)
        : m_window(window)
        , m_loop(loop)
    {
        m_window->installEventFilter(this);
    }
    ~ExposeWatch() override { m_window->removeEventFilter(this); }
    ExposeWatch(const ExposeWatch &) = delete;
    ExposeWatch &operator=(const ExposeWatch &) = delete;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::Expose)
            QMetaObject::invokeMethod(m_loop, &QEventLoop::quit, Qt::QueuedConnection);
        return false;
    }

private:
    QWindow *const m_window;
    QEventLoop *const m_loop;
};

} // namespace

void WaitUntil(const QDeadlineTimer &deadline)
{
    Q_ASSERT(!deadline.isForever());
    // A timer may fire a little early, and a nested loop may be told to quit
    // by someone else, so the deadline itself decides when the wait is over.
    while (!deadline.hasExpired()) {
        QEventLoop loop;
        QTimer::singleShot(deadline.remainingTime(), Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
    }
}

void PaintNow(QWidget *window, int exposeLimitMs)
{
    QWindow *const handle = window->windowHandle();
    const QDeadlineTimer limit(exposeLimitMs);
    while (handle && !handle->isExposed() && !limit.hasExpired()) {
        QEventLoop loop;
        const ExposeWatch watch(handle, &loop);
        QTimer::singleShot(limit.remainingTime(), &loop, &QEventLoop::quit);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    window->repaint();
}
