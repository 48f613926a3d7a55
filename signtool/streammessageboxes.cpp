#include "streammessageboxes.h"

StreamMessageBoxes::StreamMessageBoxes(std::FILE *stream)
    : m_stream(stream)
{
}

void StreamMessageBoxes::MsgBox(const QString &text, MessageIcon, const QString &)
{
    const QByteArray shown = DisplayText(text).toLocal8Bit() + '\n';
    std::fwrite(shown.constData(), 1, static_cast<std::size_t>(shown.size()), m_stream);
    std::fflush(m_stream);
}
