#include "windows1252.h"

#include <array>

namespace {

// Code points of bytes 0x80 to 0x9F. The five bytes the code page leaves
// undefined map to the C1 control of the same value, as the system does.
constexpr std::array<char16_t, 32> HighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

char EncodeOne(char32_t codePoint)
{
    if (codePoint < 0x80 || (codePoint >= 0xA0 && codePoint <= 0xFF))
        return static_cast<char>(codePoint);
    for (std::size_t i = 0; i < HighControls.size(); ++i) {
        if (HighControls[i] == codePoint)
            return static_cast<char>(0x80 + i);
    }
    return '?';
}

} // namespace

QByteArray ToWindows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes.append('?');
            ++i;
            continue;
        }
        bytes.append(c.isSurrogate() ? '?' : EncodeOne(c.unicode()));
    }
    return bytes;
}

QString FromWindows1252(const QByteArray &bytes)
{
    // The code page is Latin-1 but for 0x80 to 0x9F: converted in bulk, then
    // those few mended in place.
    QString text = QString::fromLatin1(bytes);
    QChar *const chars = text.data();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto value = static_cast<unsigned char>(bytes[i]);
        if (value >= 0x80 && value < 0xA0)
            chars[i] = QChar(HighControls[value - 0x80]);
    }
    return text;
}
