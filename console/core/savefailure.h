#pragma once

// How a file that cannot be written at exit is reported: one box, no icon,
// the application title as caption, and three lines: what failed, the file's
// full path in double quotes, and the system's description of the error.
// The exit goes on once the operator has closed it.

#include <QString>

class MessageBoxes;

void ReportSaveFailure(MessageBoxes &boxes, const char *what, const QString &filePath,
                       const QString &errorDescription);
