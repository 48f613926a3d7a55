#pragma once

// The lines of `vantor-sign send -`: standard input, one message per line,
// taken as each line arrives so that `tail -f log | vantor-sign send -`
// shows every line at once.

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <functional>
#include <optional>

// The message a line of input stands for: the line without its LF or CR LF
// end, decoded from the locale's encoding (UTF-8 on a usual system). No value
// for a line that is empty or holds only spaces: the sign would show nothing
// for it and drop what it showed, so such a line sends nothing.
[[nodiscard]] std::optional<QString> MessageFromInputLine(const QByteArray &line);

// Reads whole lines from a stream, waiting for each. A last line without its
// LF still counts; a line is never split, however long.
class InputLines
{
public:
    // `stopRequested`, when given, is asked before each read; a read that a
    // signal interrupts ends the input too.
    explicit InputLines(std::FILE *stream, std::function<bool()> stopRequested = {});
    ~InputLines();
    InputLines(const InputLines &) = delete;
    InputLines &operator=(const InputLines &) = delete;

    // The next line with its end, or no value at the end of the input or
    // when reading failed.
    [[nodiscard]] std::optional<QByteArray> next();
    // True when the input ended because reading failed, not because it was
    // stopped.
    [[nodiscard]] bool failed() const;

private:
    std::FILE *const m_stream;
    const std::function<bool()> m_stopRequested;
    bool m_interrupted = false;
    char *m_buffer = nullptr;
    std::size_t m_capacity = 0;
};
