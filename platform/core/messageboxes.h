#pragma once

#include <QString>

// What separates the lines of a message box's text: a single CR (code 13).
inline constexpr QChar LineBreak(13);

// Icon codes of a message box, valued as the system's own codes.
enum class MessageIcon { None = 0, Stop = 16, Information = 64 };

// Modal message boxes with an OK button only. The text separates its lines
// with LineBreak; only the box on screen turns that into line breaks. Code that reports to the operator takes this interface, so tests
// can record what would have been shown, and a program without windows can
// print it instead (QtMessageBoxes in platform/widgets shows the real boxes).
class MessageBoxes
{
public:
    virtual ~MessageBoxes() = default;
    virtual void MsgBox(const QString &text, MessageIcon icon, const QString &title) = 0;
};

// The text as a box on screen or a terminal shows it: each CR becomes a
// line break.
[[nodiscard]] QString DisplayText(const QString &text);

// `text` with the middle of each line longer than maxLineLength characters
// replaced by an ellipsis, so that the line keeps its start and its end. A
// box must fit the screen, or its OK button cannot be reached.
[[nodiscard]] QString ElidedLines(const QString &text, qsizetype maxLineLength);
