#pragma once

// The console's answers to --help and --version, given before anything
// needs a display.

#include <QStringList>

#include <optional>

// The text to print when the command line is exactly "--help", "-h" or
// "--version"; no value for anything else, which the port check judges.
[[nodiscard]] std::optional<QString> InformationRequested(const QStringList &arguments);
