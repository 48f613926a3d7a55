#pragma once

#include "serialbackend.h"
#include <QString>

// Line settings of a serial port.
struct LineSettings
{
    qint32 baudRate = 9600;
    SerialBackend::Parity parity = SerialBackend::NoParity;
    SerialBackend::DataBits dataBits = SerialBackend::Data8;
    SerialBackend::StopBits stopBits = SerialBackend::OneStop;
};

// The settings a text stands for, or what is wrong with it.
struct ParsedLineSettings
{
    LineSettings settings;
    // Empty when the text was understood.
    QString problem;

    [[nodiscard]] bool ok() const { return problem.isEmpty(); }
};

// Reads "baud,parity,data bits,stop bits", e.g. "9600,N,8,1": a positive
// decimal baud rate; parity N, E, O, M or S (either case); 5 to 8 data bits;
// 1, 1.5 or 2 stop bits. Spaces around a field are allowed.
[[nodiscard]] ParsedLineSettings ParseLineSettings(const QString &text);
