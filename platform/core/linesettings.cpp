#include "linesettings.h"

#include <QStringList>

#include <algorithm>
#include <optional>

namespace {

std::optional<qint32> BaudRate(const QString &field)
{
    const bool digitsOnly = !field.isEmpty()
        && std::all_of(field.cbegin(), field.cend(),
                       [](QChar c) { return c >= u'0' && c <= u'9'; });
    bool fits = false;
    const qint32 rate = digitsOnly ? field.toInt(&fits) : 0;
    if (!fits || rate <= 0)
        return std::nullopt;
    return rate;
}

std::optional<SerialBackend::Parity> Parity(const QString &field)
{
    if (field.size() != 1)
        return std::nullopt;
    switch (field.at(0).toUpper().unicode()) {
    case u'N': return SerialBackend::NoParity;
    case u'E': return SerialBackend::EvenParity;
    case u'O': return SerialBackend::OddParity;
    case u'M': return SerialBackend::MarkParity;
    case u'S': return SerialBackend::SpaceParity;
    default: return std::nullopt;
    }
}

std::optional<SerialBackend::DataBits> DataBits(const QString &field)
{
    if (field == QLatin1String("5")) return SerialBackend::Data5;
    if (field == QLatin1String("6")) return SerialBackend::Data6;
    if (field == QLatin1String("7")) return SerialBackend::Data7;
    if (field == QLatin1String("8")) return SerialBackend::Data8;
    return std::nullopt;
}

std::optional<SerialBackend::StopBits> StopBits(const QString &field)
{
    if (field == QLatin1String("1")) return SerialBackend::OneStop;
    if (field == QLatin1String("1.5")) return SerialBackend::OneAndHalfStop;
    if (field == QLatin1String("2")) return SerialBackend::TwoStop;
    return std::nullopt;
}

ParsedLineSettings Rejected(const QString &text, const QString &why)
{
    return {{}, QStringLiteral("The line settings \"") + text
                    + QStringLiteral("\" are not valid: ") + why};
}

} // namespace

ParsedLineSettings ParseLineSettings(const QString &text)
{
    QStringList fields = text.split(QLatin1Char(','));
    if (fields.size() != 4)
        return Rejected(text, QStringLiteral("four fields are needed, as in \"9600,N,8,1\"."));
    for (QString &field : fields)
        field = field.trimmed();

    const auto rate = BaudRate(fields.at(0));
    if (!rate)
        return Rejected(text, QStringLiteral("the speed must be a positive whole number of bits per second."));
    const auto parity = Parity(fields.at(1));
    if (!parity)
        return Rejected(text, QStringLiteral("the parity must be N, E, O, M or S."));
    const auto dataBits = DataBits(fields.at(2));
    if (!dataBits)
        return Rejected(text, QStringLiteral("the data bits must be 5, 6, 7 or 8."));
    const auto stopBits = StopBits(fields.at(3));
    if (!stopBits)
        return Rejected(text, QStringLiteral("the stop bits must be 1, 1.5 or 2."));

    return {{*rate, *parity, *dataBits, *stopBits}, {}};
}
