#pragma once

// What the three typed fields of the main window (the message, the board
// number and the brightness) hold, however their text arrives: typed, pasted,
// set by the program or restored from the settings store or the message list
// file.
//
// Each holds a single line: a CR inside a field would start a record of its
// own on the sign line, so every line break becomes a space. And each holds
// at most FieldTextLimit characters, far more than any sign shows and far
// below the length at which laying out the text in a field breaks down.

#include <QString>

inline constexpr int FieldTextLimit = 1024 * 1024;

// True when a text of `length` characters fits a field whole. Stored text
// that does not is skipped where it is restored, never shown cut.
[[nodiscard]] constexpr bool FitsField(qsizetype length)
{
    return length <= FieldTextLimit;
}

// `text` with each line break (CR LF, CR or LF) turned into one space.
[[nodiscard]] QString WithLineBreaksAsSpaces(const QString &text);
