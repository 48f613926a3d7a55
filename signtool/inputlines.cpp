#include "inputlines.h"

#include "appinfo.h"
#include "fieldtext.h"
#include "messageboxes.h"

#include <algorithm>
#include <cerrno>
#include <utility>

namespace {

// A line end is at most CR LF.
constexpr qsizetype LineBytesLimit = FieldTextLimit + 2;

QByteArrayView WithoutLineEnd(QByteArrayView text)
{
    if (text.endsWith('\n'))
        text.chop(1);
    if (text.endsWith('\r'))
        text.chop(1);
    return text;
}

// Locks the stream once for a whole line, so that each byte is a plain
// buffer read and a long line costs no more than copying it.
class StreamLock
{
public:
    explicit StreamLock(std::FILE *stream)
        : m_stream(stream)
    {
#ifdef Q_OS_WIN
        ::_lock_file(m_stream);
#else
        ::flockfile(m_stream);
#endif
    }
    ~StreamLock()
    {
#ifdef Q_OS_WIN
        ::_unlock_file(m_stream);
#else
        ::funlockfile(m_stream);
#endif
    }
    StreamLock(const StreamLock &) = delete;
    StreamLock &operator=(const StreamLock &) = delete;

private:
    std::FILE *const m_stream;
};

// The next byte of a stream this thread has locked.
int NextByteOfLocked(std::FILE *stream)
{
#ifdef Q_OS_WIN
    return _getc_nolock(stream);  // a macro in the Windows runtime
#else
    return ::getc_unlocked(stream);
#endif
}

} // namespace

std::optional<QString> MessageFromInputLine(const QByteArray &line)
{
    const QByteArrayView text = WithoutLineEnd(line);
    const bool blank = std::all_of(text.begin(), text.end(), [](char c) { return c == ' '; });
    if (blank)
        return std::nullopt;
    return QString::fromLocal8Bit(text);
}

QString OverLongLineMessage(qint64 lineNumber)
{
    return QStringLiteral("Line %1 of standard input is longer than the message field holds"
                          " (%2 characters); it was not sent.")
        .arg(lineNumber)
        .arg(FieldTextLimit);
}

InputLines::InputLines(std::FILE *stream, std::function<bool()> stopRequested)
    : m_stream(stream)
    , m_stopRequested(std::move(stopRequested))
{
}

std::optional<InputLine> InputLines::next()
{
    if (m_interrupted || (m_stopRequested && m_stopRequested()))
        return std::nullopt;
    InputLine line;
    bool readAny = false;
    int c = EOF;
    errno = 0;
    {
        const StreamLock lock(m_stream);
        while ((c = NextByteOfLocked(m_stream)) != EOF) {
            readAny = true;
            if (!line.overLong && line.bytes.size() == LineBytesLimit) {
                line.overLong = true;
                line.bytes = QByteArray();
            }
            if (!line.overLong)
                line.bytes.append(static_cast<char>(c));
            if (c == '\n')
                break;
        }
    }
    if (c == EOF && std::ferror(m_stream)) {
        m_interrupted = errno == EINTR;
        return std::nullopt;
    }
    if (!readAny)
        return std::nullopt;
    if (!line.overLong && !FitsField(WithoutLineEnd(line.bytes).size())) {
        line.overLong = true;
        line.bytes = QByteArray();
    }
    line.number = ++m_lineNumber;
    return line;
}

bool InputLines::failed() const
{
    return !m_interrupted && std::ferror(m_stream) != 0;
}

std::optional<QString> InputLines::nextMessage(MessageBoxes &boxes)
{
    while (const std::optional<InputLine> line = next()) {
        if (line->overLong) {
            // Refused as the field would refuse it; the lines after it go on.
            boxes.MsgBox(OverLongLineMessage(line->number), MessageIcon::None, QString::fromLatin1(AppInfo::Title));
            ++m_refusedLines;
            continue;
        }
        if (std::optional<QString> message = MessageFromInputLine(line->bytes))
            return message;
    }
    return std::nullopt;
}
