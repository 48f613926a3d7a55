#pragma once

// The help viewer and the desktop shell: both hand a file or an address to
// whatever program the desktop has chosen for it, and keep no hold on that
// program once it runs.

#include <QString>

class QWidget;

// Opens the help file at `path`, exactly as given, with the desktop's handler
// for local files. Returns an empty text when the viewer was started, otherwise
// a description of why it could not be. Whether the file exists is the
// viewer's affair. The desktop's handlers take no owner window, so `owner` is
// kept only for callers that have one at hand.
[[nodiscard]] QString OpenHelpFile(QWidget *owner, const QString &path);

// Hands a web address to the desktop's browser. Nothing comes back: a browser
// that does not come up is not reported.
void OpenWebAddress(const QString &url);
