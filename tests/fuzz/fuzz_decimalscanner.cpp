// The decimal scanner on any text from every start position: the value stays
// in 16 bits, the position only moves forward and stops where the scan had
// to, and the digits it consumed read as the same number by another route.

#include "fuzzpieces.h"
#include "modutils.h"

#include <QString>

#include <charconv>
#include <limits>
#include <string>

namespace {

constexpr int Max16 = std::numeric_limits<std::int16_t>::max();

bool IsSpace(const QString &text, int position)
{
    return text.at(position - 1) == QLatin1Char(' ');
}

// The ASCII digit's value at a 1-based position, found without the scanner's
// own comparison.
int ReferenceDigit(const QString &text, int position)
{
    return int(QStringLiteral("0123456789").indexOf(text.at(position - 1)));
}

// The value of an all-digit slice, or -1 when it does not fit in 16 bits.
int ReadDigits(const QString &text, int first, int end)
{
    if (first >= end)
        return 0;
    const std::string digits = text.mid(first - 1, end - first).toStdString();
    std::int16_t value = 0;
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error != std::errc() || stop != digits.data() + digits.size())
        return -1;
    return value;
}

void CheckSkipSpaces(const QString &text, std::int16_t start)
{
    const int end = int(text.size()) + 1;
    const std::int16_t stop = SkipSpaces(text, start);
    FUZZ_CHECK(stop >= start);
    for (int p = start; p < stop; ++p)
        FUZZ_CHECK(IsSpace(text, p));
    // It stops at a non-space, at the end, or at the last position it can hold.
    FUZZ_CHECK(stop == end || stop == Max16 || (stop < end && !IsSpace(text, stop))
               || (start > end && stop == start));
}

void CheckParseDecimal(const QString &text, std::int16_t start)
{
    const int end = int(text.size()) + 1;
    std::int16_t position = start;
    const std::int16_t value = ParseDecimal(text, position);
    FUZZ_CHECK(value >= 0 && value <= Max16);
    FUZZ_CHECK(position >= start);
    FUZZ_CHECK(position <= qMax(end, int(start)));

    const std::int16_t digitsStart = SkipSpaces(text, start);
    FUZZ_CHECK(position >= digitsStart);
    for (int p = digitsStart; p < position; ++p)
        FUZZ_CHECK(ReferenceDigit(text, p) >= 0);

    const int consumed = ReadDigits(text, digitsStart, position);
    FUZZ_CHECK(consumed >= 0);
    if (position == end || position > end) {
        FUZZ_CHECK(value == consumed);
        return;
    }
    const int next = ReferenceDigit(text, position);
    if (next < 0) {
        FUZZ_CHECK(value == consumed);
        return;
    }
    // Stopped in front of a digit: either it would have overflowed, or the
    // position reached the last one it can hold and that digit was counted
    // without the position moving past it.
    const bool overflows = consumed * 10 + next > Max16;
    const bool countedAtLimit = position == Max16 && value == consumed * 10 + next;
    FUZZ_CHECK((overflows && value == consumed) || countedAtLimit);
}

void CheckScanner(const QString &text, std::int16_t start)
{
    CheckSkipSpaces(text, start);
    CheckParseDecimal(text, start);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    for (qsizetype p = 1; p <= text.size(); ++p)
        FUZZ_CHECK(DigitValue(text, std::int16_t(p)) == ReferenceDigit(text, int(p)));

    // Every start position of a short text, and one past its end.
    const int lastStart = int(qMin<qsizetype>(text.size() + 2, 256));
    for (int start = 1; start <= lastStart; ++start)
        CheckScanner(text, std::int16_t(start));

    // Spaces in front of the digits do not change the number read.
    std::int16_t plain = 1;
    std::int16_t padded = 1;
    FUZZ_CHECK(ParseDecimal(text, plain) == ParseDecimal(QStringLiteral("   ") + text, padded));
    if (text.size() < Max16 - 3)
        FUZZ_CHECK(padded == plain + 3);

    // The text repeated past the last position a 16-bit position can hold,
    // scanned from the start and from just before that limit.
    if (!text.isEmpty()) {
        const QString longText = text.repeated(Max16 / text.size() + 2);
        for (const int start : {1, Max16 - 8, Max16 - 1, Max16})
            CheckScanner(longText, std::int16_t(start));
    }
    return 0;
}
