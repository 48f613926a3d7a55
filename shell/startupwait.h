#pragma once

class QDeadlineTimer;

// Keeps start-up going until `deadline`, handling events (painting above all)
// meanwhile, and sleeps in the event loop rather than polling the clock.
// Returns at once, without handling anything, when the deadline has passed.
// The deadline runs on the monotonic clock, so changes of the time of day or
// the date during the wait do not move it. It must not be QDeadlineTimer::Forever.
void WaitUntil(const QDeadlineTimer &deadline);

class QWidget;

// Paints a window that has just been shown before returning. On a real
// display show() only asks for the window to be mapped, and a window not yet
// exposed takes no paint; so this first waits for the window system to
// expose it, handling no input meanwhile, for at most `exposeLimitMs`.
void PaintNow(QWidget *window, int exposeLimitMs = 1000);
