#pragma once

#include <QByteArray>
#include <QString>

// How the virtual sign writes received bytes for people and scripts to read.

// Bytes as upper-case hex pairs separated by single spaces: "0D 37 44".
[[nodiscard]] QString HexBytes(const QByteArray &bytes);

// Text on one line, with nothing in it that could be mistaken for the line's
// own structure: a backslash becomes "\\", a double quote "\"", CR "\r", LF
// "\n", tab "\t", and any other control character "\xNN" (two upper-case hex
// digits). Everything else, non-ASCII letters included, stays as it is.
[[nodiscard]] QString EscapedText(const QString &text);
