#pragma once

// The serial library behind device ports: Qt Serial Port where the platform
// has it, the system's communications API on Windows. Both are a QIODevice
// with the same names for line settings and errors.
#include <QtGlobal>

#ifdef Q_OS_WIN
#include "wincommdevice.h"
using SerialBackend = WinCommDevice;
#else
#include <QSerialPort>
using SerialBackend = QSerialPort;
#endif
