#include "handwrittenvalue.h"

namespace {

QByteArrayView TrimmedSpacesAndTabs(QByteArrayView text)
{
    const auto isBlank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.isEmpty() && isBlank(text.front()))
        text = text.sliced(1);
    while (!text.isEmpty() && isBlank(text.back()))
        text.chop(1);
    return text;
}

// Lines end in LF, CR LF or CR.
qsizetype LineEnd(QByteArrayView bytes, qsizetype from)
{
    for (qsizetype i = from; i < bytes.size(); ++i) {
        if (bytes[i] == '\n' || bytes[i] == '\r')
            return i;
    }
    return bytes.size();
}

} // namespace

std::optional<QString> HandWrittenValue(QByteArrayView fileBytes, QByteArrayView section,
                                        QByteArrayView key)
{
    bool inSection = false;
    for (qsizetype at = 0; at < fileBytes.size();) {
        const qsizetype end = LineEnd(fileBytes, at);
        const QByteArrayView line = TrimmedSpacesAndTabs(fileBytes.sliced(at, end - at));
        at = end + 1;
        if (line.startsWith('[')) {
            inSection = line.size() == section.size() + 2 && line.endsWith(']')
                && line.sliced(1, section.size()) == section;
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (!inSection || equals < 0 || TrimmedSpacesAndTabs(line.first(equals)) != key)
            continue;
        const QByteArrayView value = TrimmedSpacesAndTabs(line.sliced(equals + 1));
        if (value.contains('"') || value.contains('\\'))
            return std::nullopt;
        return QString::fromUtf8(value);
    }
    return std::nullopt;
}
