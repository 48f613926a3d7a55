#include "inputlines.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <sys/types.h>
#include <utility>

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

InputLines::InputLines(std::FILE *stream, std::function<bool()> stopRequested)
    : m_stream(stream)
    , m_stopRequested(std::move(stopRequested))
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
    if (m_interrupted || (m_stopRequested && m_stopRequested()))
        return std::nullopt;
    errno = 0;
#ifdef Q_OS_WIN
    // The Windows runtime has no getline(): the line is read in pieces.
    QByteArray line;
    char piece[4096];
    while (!line.endsWith('\n') && std::fgets(piece, sizeof piece, m_stream))
        line.append(piece);
    if (line.isEmpty()) {
        m_interrupted = errno == EINTR;
        return std::nullopt;
    }
    return line;
#else
    const ssize_t length = ::getline(&m_buffer, &m_capacity, m_stream);
    if (length < 0) {
        m_interrupted = errno == EINTR;
        return std::nullopt;
    }
    return QByteArray(m_buffer, static_cast<qsizetype>(length));
#endif
}

bool InputLines::failed() const
{
    return !m_interrupted && std::ferror(m_stream) != 0;
}
