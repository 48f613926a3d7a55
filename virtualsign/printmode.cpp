#include "printmode.h"

#include "byteformat.h"

#include <QFile>

namespace {

QString OptionalNumber(const std::optional<int> &value)
{
    return value ? QString::number(*value) : QStringLiteral("-");
}

} // namespace

QString StartLine(const QString &portName, const QString &device, const QString &link)
{
    return QStringLiteral("port=%1 device=%2 link=%3").arg(portName, device, link);
}

QString CommandLine(const SignCommand &command)
{
    const QString message = command.message
        ? QStringLiteral("\"%1\"").arg(EscapedText(*command.message))
        : QStringLiteral("-");
    return QStringLiteral("board=%1 presentation=%2 brightness=%3 message=%4 hex=%5")
        .arg(QString::number(command.board), OptionalNumber(command.presentation),
             OptionalNumber(command.brightness), message, HexBytes(command.bytes));
}

QString ErrorLine(const DecodeError &error)
{
    return QStringLiteral("error: %1 hex=%2").arg(error.reason, HexBytes(error.bytes));
}

QString DecodedLine(const DecodedItem &item)
{
    if (const auto *command = std::get_if<SignCommand>(&item))
        return CommandLine(*command);
    return ErrorLine(std::get<DecodeError>(item));
}

void WriteLine(QFile &output, const QString &line)
{
    output.write(line.toUtf8().append('\n'));
    output.flush();
}

PrintMode::PrintMode(QFile &output, QObject *parent)
    : QObject(parent)
    , m_output(output)
{
}

void PrintMode::takeBytes(const QByteArray &bytes)
{
    for (const DecodedItem &item : m_decoder.feed(bytes))
        WriteLine(m_output, DecodedLine(item));
}
