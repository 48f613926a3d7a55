#pragma once

#include <QString>

#include <cstdint>

// The sign command string: four records, each led by a lone CR and the board
// number, then a command letter and its argument:
//   CR B "C" presentation, CR B "B" brightness, CR B "A" message, CR B "D".
// Nothing follows the final "D". The board number goes in untouched, the
// brightness as exactly the last two characters of "0" followed by it, the
// message without spaces at its ends. No input is checked: what the fields
// hold is what the sign gets.
[[nodiscard]] QString BuildSignCommand(const QString &boardNum, std::int16_t present,
                                       const QString &bright, const QString &message);
