#pragma once

// The presentation modes of the sign, by the names a command line gives them.

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

// The names in the order of the console's list, index 0 first:
// left, right, center, slow, medium, fast.
[[nodiscard]] const QStringList &PresentationNames();

// The presentation index a name stands for: one of the names above in any
// case, or the index itself as a single digit 0 to 5. No value otherwise.
[[nodiscard]] std::optional<std::int16_t> PresentationFromName(const QString &name);
