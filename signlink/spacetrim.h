#pragma once

#include <QString>

// The text without spaces (code 32 alone) at its ends. Tabs and other white
// space are ordinary characters here, unlike QString::trimmed().
[[nodiscard]] inline QString WithoutEndSpaces(const QString &text)
{
    qsizetype first = 0;
    qsizetype end = text.size();
    while (first < end && text.at(first) == QLatin1Char(' '))
        ++first;
    while (end > first && text.at(end - 1) == QLatin1Char(' '))
        --end;
    return text.sliced(first, end - first);
}
