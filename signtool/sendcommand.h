#pragma once

// `vantor-sign send`: the console's Send without its window. The fields are
// checked as the console checks them, the port is chosen and opened as the
// console opens it (the same lock, so the two never write to one port at
// once), and the string goes out in one write. A script has no operator to
// tell and carry on, so every refusal ends the run with its own status.

class InputLines;
class MessageBoxes;
class SerialControl;
struct SendRequest;

// Runs the request on `port`, reporting through `boxes`. With
// request.messagesFromInput, sends one string per line of `input` (which may
// be null otherwise) over the one open port until the input ends. Returns
// the exit status.
[[nodiscard]] int RunSend(SendRequest request, SerialControl &port, MessageBoxes &boxes, InputLines *input);
