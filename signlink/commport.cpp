#include "commport.h"

#include "appinfo.h"
#include "messageboxes.h"
#include "modutils.h"
#include "portlinkplacing.h"
#include "portnaming.h"
#include "serialcontrol.h"
#include "spacetrim.h"

#include <QFileInfo>

namespace {

QString PortName(int port)
{
    return QStringLiteral("COM") + QString::number(port);
}

QString QuotedPortName(int port)
{
    return QLatin1Char('"') + PortName(port) + QLatin1Char('"');
}

QString UnrecognisedArgumentMessage(const QString &argument)
{
    return QStringLiteral("The command line argument \"") + argument
        + QStringLiteral("\"is not recognized") + LineBreak
        + QStringLiteral("Please specify argument as \"COM#\" alone, where # is replaced by")
        + LineBreak + QStringLiteral("the COM port number to use.");
}

QString NotAvailableMessage(int port, const QString &description)
{
    return QStringLiteral("Comm Port ") + QuotedPortName(port)
        + QStringLiteral(" is not available on this system") + LineBreak + description;
}

void ShowStop(MessageBoxes &boxes, const QString &text)
{
    boxes.MsgBox(text, MessageIcon::Stop, QString::fromLatin1(AppInfo::Title));
}

CommPortOutcome Unusable(int port, CommPortFailure failure)
{
    return {false, port, QStringLiteral("NONE"), failure};
}

} // namespace

QString CannotOpenMessage(int port, const QString &description)
{
    return QStringLiteral("Comm Port ") + QuotedPortName(port)
        + QStringLiteral(" cannot be opened") + LineBreak + description;
}

QString CommandLineArgument(const QStringList &arguments)
{
    return arguments.mid(1).join(QLatin1Char(' '));
}

std::optional<int> PortNumberFromArgument(const QString &argument)
{
    QString name = WithoutEndSpaces(argument).toUpper();
    if (name.isEmpty())
        name = QStringLiteral("COM1");
    if (name.size() < 4 || !name.startsWith(QLatin1String("COM")))
        return std::nullopt;

    std::int16_t position = 4;
    const std::int16_t number = ParseDecimal(name, position);
    // Everything after "COM" must have been read; a number too large for
    // 16 bits leaves digits over and so fails here too.
    if (position != name.size() + 1)
        return std::nullopt;
    return number;
}

CommPortOutcome OpenCommPort(const QString &argument, SerialControl &port, MessageBoxes &boxes)
{
    const std::optional<int> number = PortNumberFromArgument(argument);
    if (!number) {
        ShowStop(boxes, UnrecognisedArgumentMessage(argument));
        return Unusable(0, CommPortFailure::UnrecognisedArgument);
    }

    return OpenCommPortNumber(*number, port, boxes);
}

CommPortOutcome OpenCommPortNumber(int n, SerialControl &port, MessageBoxes &boxes)
{
    PortStatus status = port.SetCommPort(n);
    if (status.ok)
        status = port.SetSettings(QString::fromLatin1(SignLineSettings));
    if (!status.ok) {
        ShowStop(boxes, NotAvailableMessage(n, status.description));
        return Unusable(n, CommPortFailure::NotAvailable);
    }

    status = port.Open();
    if (!status.ok) {
        ShowStop(boxes, CannotOpenMessage(n, status.description));
        return Unusable(n, CommPortFailure::CannotOpen);
    }
    return {true, n, PortName(n)};
}

CommPortOutcome RepointCommPort(int n, const QString &target, SerialControl &port, MessageBoxes &boxes)
{
    const QFileInfo entry(PortLinkPath(n));
    const bool hadEntry = HasPortLink(n);
    // Anything but a link is the operator's own and is not replaced.
    if (hadEntry && !entry.isSymLink()) {
        ShowStop(boxes, NotAvailableMessage(n, PortLinkPath(n)
                                                   + QStringLiteral(" is not a link; remove it yourself "
                                                                    "if it should go.")));
        return Unusable(n, CommPortFailure::NotAvailable);
    }
    const QString previous = PortLinkText(n);
    port.Close();
    // Port n's own entry is chosen when the sign is on it already.
    if (target != PortLinkPath(n)) {
        const QString failure = PlacePortLink(n, target);
        if (!failure.isEmpty()) {
            ShowStop(boxes, NotAvailableMessage(n, failure));
            return Unusable(n, CommPortFailure::NotAvailable);
        }
    }
    const CommPortOutcome outcome = OpenCommPortNumber(n, port, boxes);
    if (!outcome.open && previous != target)
        RestorePortLink(n, previous);
    return outcome;
}

QString WriteFailureMessage(int port, const QString &description)
{
    return QStringLiteral("Comm Port ") + QuotedPortName(port)
        + QStringLiteral(" cannot be written to") + LineBreak + description;
}
