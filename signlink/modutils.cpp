#include "modutils.h"

#include <limits>

namespace {
constexpr std::int16_t MaxPosition = std::numeric_limits<std::int16_t>::max();
constexpr int MaxValue = std::numeric_limits<std::int16_t>::max();
} // namespace

std::int16_t SkipSpaces(const QString &text, std::int16_t position)
{
    // Positions never pass 32767, so a longer text ends the scan there.
    while (position <= text.size() && text.at(position - 1) == QLatin1Char(' ')) {
        if (position == MaxPosition)
            return position;
        ++position;
    }
    return position;
}

int DigitValue(const QString &text, std::int16_t position)
{
    const char16_t c = text.at(position - 1).unicode();
    return (c >= u'0' && c <= u'9') ? c - u'0' : -1;
}

std::int16_t ParseDecimal(const QString &text, std::int16_t &position)
{
    position = SkipSpaces(text, position);
    int value = 0;
    while (position <= text.size()) {
        const int digit = DigitValue(text, position);
        if (digit < 0)
            break;
        if (value * 10 + digit > MaxValue)
            break;
        value = value * 10 + digit;
        if (position == MaxPosition)
            break;
        ++position;
    }
    return static_cast<std::int16_t>(value);
}
