#pragma once

// The decimal scanner: the system's one number reader, shared by the field
// checks and the port argument. Positions are 1-based and held in 16 bits;
// length + 1 stands for the end of the text.

#include <QString>

#include <cstdint>

// The first position at or after `position` whose character is not a space
// (code 32 alone), or length + 1 when there is none.
[[nodiscard]] std::int16_t SkipSpaces(const QString &text, std::int16_t position);

// 0 to 9 for a digit "0" to "9" at `position` (1..length), otherwise -1.
[[nodiscard]] int DigitValue(const QString &text, std::int16_t position);

// Skips spaces, then takes the run of digits that follows. Stops quietly
// before a digit that would take the value past 32767, and at position 32767,
// which it cannot move past. `position` (at least 1) comes back as the first
// character not consumed; the result is 0 when no digit was taken.
[[nodiscard]] std::int16_t ParseDecimal(const QString &text, std::int16_t &position);
