#include "inputlines.h"

#include <algorithm>
#include <cstdlib>
#include <sys/types.h>

std::optional<QString> MessageFromInputLine(const QByteArray &line)
{
    QByteArrayView text(line);
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.endsWith('\r'))
        text.chop(1);
    const bool blank = std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
    if (blank)
        return std::nullopt;
    return QString::fromLocal8Bit(text);
}

InputLines::InputLines(std::FILE *stream)
    : m_stream(stream)
{
}

InputLines::~InputLines()
{
    std::free(m_buffer);
}

std::optional<QByteArray> InputLines::next()
{
    // getline() grows the buffer to the whole line, so a long line is one
    // message, not several.
    const ssize_t length = ::getline(&m_buffer, &m_capacity, m_stream);
    if (length < 0)
        return std::nullopt;
    return QByteArray(m_buffer, static_cast<qsizetype>(length));
}

bool InputLines::failed() const
{
    return std::ferror(m_stream) != 0;
}
