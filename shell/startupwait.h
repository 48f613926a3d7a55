#pragma once

class QDeadlineTimer;

// Keeps start-up going until `deadline`, handling events (painting above all)
// meanwhile, and sleeps in the event loop rather than polling the clock.
// Returns at once, without handling anything, when the deadline has passed.
// The deadline runs on the monotonic clock, so changes of the time of day or
// the date during the wait do not move it. It must not be QDeadlineTimer::Forever.
void WaitUntil(const QDeadlineTimer &deadline);
