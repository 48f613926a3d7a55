#include "signcommand.h"

#include "spacetrim.h"

namespace {

constexpr QChar RecordStart(13);

} // namespace

QString BuildSignCommand(const QString &boardNum, std::int16_t present,
                         const QString &bright, const QString &message)
{
    const QString twoDigitBright = (QLatin1Char('0') + bright).right(2);

    QString command;
    command += RecordStart + boardNum + QLatin1Char('C') + QString::number(present);
    command += RecordStart + boardNum + QLatin1Char('B') + twoDigitBright;
    command += RecordStart + boardNum + QLatin1Char('A') + WithoutEndSpaces(message);
    command += RecordStart + boardNum + QLatin1Char('D');
    return command;
}
