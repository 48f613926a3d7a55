#pragma once

#include "commport.h"
#include "recordingmessageboxes.h"
#include "serialcontrol.h"

#include <QString>

// Opens port n the way the console does at load; the text of the box it
// shows, or empty when the port opened without one. For tests that link
// signlink.
[[nodiscard]] inline QString OpenAsConsole(SerialControl &control, int n)
{
    RecordingMessageBoxes boxes;
    const CommPortOutcome outcome = OpenCommPort(QStringLiteral("COM%1").arg(n), control, boxes);
    if (outcome.open)
        return boxes.shown.isEmpty() ? QString() : QStringLiteral("<box on success>");
    return boxes.shown.isEmpty() ? QStringLiteral("<no box>") : boxes.shown.first().text;
}
