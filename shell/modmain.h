#pragma once

// Start-up and shut-down of the console.
//
// Main() shows the splash, loads the main window hidden behind it, holds the
// splash for at least a second after it was painted, then shows the main
// window and runs the event loop until that window has been closed. The main
// window saves its state as it closes; the serial port is released only
// after that, when the window is destroyed.

#include <QStringList>

#include <functional>

class LoadedForms;
class QWidget;

// Start-up up to the shown main window. `loadMain` creates the main window,
// enters it in `forms` and runs its load sequence, leaving it hidden; the
// window it returns stays owned by the caller. The splash is gone on return.
QWidget *StartUp(LoadedForms &forms, const std::function<QWidget *()> &loadMain);

// The program: start-up, the event loop, shut-down. `arguments` is the
// command line as the program received it, its name first. Returns the exit
// code.
[[nodiscard]] int Main(const QStringList &arguments);
