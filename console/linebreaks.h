#pragma once

// The one rule for line breaks inside a single-line value: a message, a board
// number or a brightness never holds one, because a CR inside it would start
// a record of its own on the sign line. Window-free, so that every program
// that builds a sign command string mends its input the same way.

#include <QString>

// `text` with each line break (CR LF, CR or LF) turned into one space.
[[nodiscard]] QString WithLineBreaksAsSpaces(const QString &text);
