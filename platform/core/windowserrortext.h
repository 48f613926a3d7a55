#pragma once

#include <QString>

// The system's own text for a Windows error code, without its trailing
// full stop and line break; "error <code>" when the system has none.
[[nodiscard]] QString WindowsErrorText(unsigned long code);
