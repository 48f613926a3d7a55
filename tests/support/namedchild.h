#pragma once

#include <QObject>
#include <QtGlobal>

// The child of `window` of type T with the object name `name`, as the window
// names its controls. A missing control ends the test program with its name:
// every later check would only dereference nothing.
template <typename T>
[[nodiscard]] T *NamedChild(const QObject &window, const char *name)
{
    T *const child = window.findChild<T *>(QLatin1String(name));
    if (!child)
        qFatal("%s has no control named %s", qPrintable(window.objectName()), name);
    return child;
}
