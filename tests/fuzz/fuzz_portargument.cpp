// The port argument reader on any argument text: what it accepts is exactly
// "COM", optional spaces and a 16-bit decimal number once trimmed of spaces
// and upper-cased, with that number; case and surrounding spaces never change
// the result.

#include "commport.h"
#include "fuzzpieces.h"

#include <QRegularExpression>
#include <QString>

#include <charconv>
#include <limits>
#include <string>

namespace {

// The port the argument names, worked out without the decimal scanner.
std::optional<int> ReferencePort(const QString &argument)
{
    static const QRegularExpression trim(QStringLiteral("^ *(.*?) *\\z"),
                                         QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression form(QStringLiteral("^COM *([0-9]+)\\z"));

    const QString name = trim.match(argument).captured(1).toUpper();
    if (name.isEmpty())
        return 1;
    const QRegularExpressionMatch match = form.match(name);
    if (!match.hasMatch())
        return std::nullopt;
    const std::string digits = match.captured(1).toStdString();
    std::int16_t number = 0;
    const auto [stop, error] = std::from_chars(digits.data(), digits.data() + digits.size(), number);
    if (error != std::errc() || stop != digits.data() + digits.size())
        return std::nullopt;
    // Positions are 16-bit too: a name of 32,767 characters or more cannot be
    // read to its end.
    if (name.size() >= std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return number;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString argument =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const std::optional<int> port = PortNumberFromArgument(argument);

    FUZZ_CHECK(port == ReferencePort(argument));
    if (port)
        FUZZ_CHECK(*port >= 0 && *port <= std::numeric_limits<std::int16_t>::max());

    FUZZ_CHECK(PortNumberFromArgument(argument.toUpper()) == port);
    FUZZ_CHECK(PortNumberFromArgument(argument.toLower()) == port);
    FUZZ_CHECK(PortNumberFromArgument(QStringLiteral("  ") + argument + QStringLiteral(" "))
               == port);
    return 0;
}
