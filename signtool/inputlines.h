#pragma once

// The lines of `vantor-sign send -`: standard input, one message per line,
// taken as each line arrives so that `tail -f log | vantor-sign send -`
// shows every line at once.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <functional>
#include <optional>

class MessageBoxes;

// The message a line of input stands for: the line without its LF or CR LF
// end, decoded from the locale's encoding (UTF-8 on a usual system). No value
// for a line that is empty or holds only spaces: the sign would show nothing
// for it and drop what it showed, so such a line sends nothing.
[[nodiscard]] std::optional<QString> MessageFromInputLine(const QByteArray &line);

// One line of input, counted from 1.
struct InputLine
{
    // The line with its end; empty for an over-long line.
    QByteArray bytes;
    qint64 number = 0;
    // The line holds more bytes than the message field holds characters. It
    // was read past to its end, and none of it was kept.
    bool overLong = false;
};

// What is said of an over-long line: it names the line, so that a script's
// author can find it.
[[nodiscard]] QString OverLongLineMessage(qint64 lineNumber);

// Reads whole lines from a stream, waiting for each. A last line without its
// LF still counts. A line is never split: one too long for the message field
// is skipped whole, and never held in memory.
class InputLines
{
public:
    // `stopRequested`, when given, is asked before each read; a read that a
    // signal interrupts ends the input too.
    explicit InputLines(std::FILE *stream, std::function<bool()> stopRequested = {});
    InputLines(const InputLines &) = delete;
    InputLines &operator=(const InputLines &) = delete;

    // The next line, or no value at the end of the input or when reading
    // failed.
    [[nodiscard]] std::optional<InputLine> next();
    // The next message the input stands for, over blank lines. An over-long
    // line is reported through `boxes` and counted; no value at the end.
    [[nodiscard]] std::optional<QString> nextMessage(MessageBoxes &boxes);
    // Lines refused so far for being longer than the message field holds.
    [[nodiscard]] qint64 refusedLines() const { return m_refusedLines; }
    // True when the input ended because reading failed, not because it was
    // stopped.
    [[nodiscard]] bool failed() const;

private:
    std::FILE *const m_stream;
    const std::function<bool()> m_stopRequested;
    bool m_interrupted = false;
    qint64 m_refusedLines = 0;
    qint64 m_lineNumber = 0;
};
