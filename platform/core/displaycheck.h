#pragma once

// Whether a program with windows can reach a display, told before Qt tries
// (and aborts with its plugin message when it cannot).

#include <QString>

// Empty when a display is there to use: a platform named in
// QT_QPA_PLATFORM, or a session's DISPLAY or WAYLAND_DISPLAY. Otherwise the
// one line to print on standard error, for `program`.
[[nodiscard]] QString MissingDisplay(const QString &program, const QString &qpaPlatform,
                                     const QString &x11Display, const QString &waylandDisplay);

// The same, from this process's environment.
[[nodiscard]] QString MissingDisplay(const QString &program);
