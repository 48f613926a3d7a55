#pragma once

#include <QByteArray>
#include <QString>

// How the virtual sign writes received bytes for people and scripts to read.

// The text the sign line's bytes stand for, in Windows-1252. The sign decodes
// with the system's converter rather than the table the console encodes
// with, so that a wrong entry in either shows up as a difference instead of
// cancelling out. The five bytes the code page leaves undefined (0x81, 0x8D,
// 0x8F, 0x90, 0x9D) come out as the C1 control of the same value, as the
// console reads them back from its own files; the print mode shows them as
// "\x81" and so on.
[[nodiscard]] QString SignLineText(const QByteArray &bytes);

// Bytes as upper-case hex pairs separated by single spaces: "0D 37 44".
[[nodiscard]] QString HexBytes(const QByteArray &bytes);

// Text on one line, with nothing in it that could be mistaken for the line's
// own structure: a backslash becomes "\\", a double quote "\"", CR "\r", LF
// "\n", tab "\t", and any other control character "\xNN" (two upper-case hex
// digits). Everything else, non-ASCII letters included, stays as it is.
[[nodiscard]] QString EscapedText(const QString &text);
