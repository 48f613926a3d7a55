#pragma once

#include <QString>

// The version as both information windows show it: "Version " followed by the
// major and minor numbers in plain decimal; the revision is not shown.
[[nodiscard]] QString VersionLine(int major, int minor);
