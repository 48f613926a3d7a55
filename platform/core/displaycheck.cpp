#include "displaycheck.h"

QString MissingDisplay(const QString &program, const QString &qpaPlatform, const QString &x11Display,
                       const QString &waylandDisplay)
{
    if (!qpaPlatform.isEmpty() || !x11Display.isEmpty() || !waylandDisplay.isEmpty())
        return {};
    return program + QStringLiteral(": no display to show the window on (neither DISPLAY nor "
                                    "WAYLAND_DISPLAY is set); start it in a desktop session.");
}

QString MissingDisplay(const QString &program)
{
    return MissingDisplay(program, qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
                          qEnvironmentVariable("WAYLAND_DISPLAY"));
}
