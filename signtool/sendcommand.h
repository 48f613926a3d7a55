#pragma once

// `vantor-sign send`: the console's Send without its window. The fields are
// checked as the console checks them, the port is chosen and opened as the
// console opens it (the same lock, so the two never write to one port at
// once), and the string goes out in one write. A script has no operator to
// tell and carry on, so every refusal ends the run with its own status, and
// success means that every byte has left (for a device, its output queue
// too): a port that takes nothing for the console's stall time ends the run
// with the write-failure status.

#include <functional>

class InputLines;
class MessageBoxes;
class PortControl;
struct SendRequest;

// What a run reading its messages from input asks while it waits for the port.
struct SendWaits
{
    // True once the run has been told to stop (a signal).
    std::function<bool()> stopRequested;
    // True while more input is waiting to be read.
    std::function<bool()> inputWaiting;
};

// Runs the request on `port`, reporting through `boxes`. With
// request.messagesFromInput, sends one string per line of `input` (which may
// be null otherwise) over the one open port until the input ends or a stop
// is requested; input is read only while little waits for the port, so that
// memory stays flat however fast the input comes. Returns the exit status.
[[nodiscard]] int RunSend(SendRequest request, PortControl &port, MessageBoxes &boxes, InputLines *input,
                          const SendWaits &waits = {});
