#include "sendcommand.h"

#include "appinfo.h"
#include "commandline.h"
#include "commport.h"
#include "exitstatus.h"
#include "inputlines.h"
#include "messageboxes.h"
#include "openstatus.h"
#include "outputprogress.h"
#include "portcontrol.h"

namespace {

// Input is held back while more than this waits for the port.
constexpr qint64 BackPressureBytes = 16 * 1024;

bool Asked(const std::function<bool()> &question)
{
    return question && question();
}

void Report(MessageBoxes &boxes, const QString &text, MessageIcon icon)
{
    boxes.MsgBox(text, icon, QString::fromLatin1(AppInfo::Title));
}

// False when the port failed, which has been reported.
bool Moved(const PortStatus &status, int portNumber, MessageBoxes &boxes)
{
    if (!status.ok)
        Report(boxes, WriteFailureMessage(portNumber, status.description), MessageIcon::Stop);
    return status.ok;
}

// One Send: false when the write failed, which has been reported.
bool SendOne(const SendRequest &request, const QString &message, int portNumber, PortControl &port,
             MessageBoxes &boxes)
{
    return Moved(port.Output(SignCommandText(request.fields, message)), portNumber, boxes);
}

int SendLines(const SendRequest &request, int portNumber, PortControl &port, MessageBoxes &boxes,
              InputLines &input, const SendWaits &waits)
{
    const QDeadlineTimer forever(QDeadlineTimer::Forever);
    const auto stopped = [&waits] { return Asked(waits.stopRequested); };
    for (;;) {
        // Lines go out as they come: while no input waits, what is queued
        // goes out, so a line after a pause never waits behind the last.
        const auto inputOrStop = [&] { return Asked(waits.inputWaiting) || stopped(); };
        if (!Moved(port.Drain(0, forever, inputOrStop), portNumber, boxes))
            return ExitStatus::IoError;
        const std::optional<QString> message = stopped() ? std::nullopt : input.nextMessage(boxes);
        if (!message)
            break;
        if (!SendOne(request, *message, portNumber, port, boxes))
            return ExitStatus::IoError;
        if (!Moved(port.Drain(BackPressureBytes, forever, stopped), portNumber, boxes))
            return ExitStatus::IoError;
    }
    if (input.failed()) {
        Report(boxes, QStringLiteral("Reading standard input failed."), MessageIcon::Stop);
        return ExitStatus::IoError;
    }
    // An over-long line was refused as the field would refuse it; the lines
    // after it went on.
    return input.refusedLines() > 0 ? ExitStatus::DataError : ExitStatus::Ok;
}

} // namespace

int RunSend(SendRequest request, PortControl &port, MessageBoxes &boxes, InputLines *input, const SendWaits &waits)
{
    // Checked before the port is touched: a refused value opens nothing.
    const QStringList refusals = CheckSignFields(request.fields);
    for (const QString &refusal : refusals)
        Report(boxes, refusal, MessageIcon::None);
    if (!refusals.isEmpty())
        return ExitStatus::DataError;

    const CommPortOutcome opened = OpenCommPort(request.portArgument, port, boxes);
    if (!opened.open)
        return ExitStatusForOpen(opened.failure);

    int status = ExitStatus::Ok;
    if (!request.messagesFromInput) {
        if (!SendOne(request, request.message, opened.port, port, boxes))
            status = ExitStatus::IoError;
    } else if (input) {
        status = SendLines(request, opened.port, port, boxes, *input, waits);
    }
    const bool stopped = Asked(waits.stopRequested);
    // Success only once every byte has left; a stop still gives the port a
    // short drain, as long as it keeps taking bytes.
    if (status != ExitStatus::IoError && !stopped
        && !Moved(port.Drain(0, QDeadlineTimer(QDeadlineTimer::Forever), waits.stopRequested), opened.port, boxes))
        status = ExitStatus::IoError;
    const PortStatus closed =
        port.CloseWithin(QDeadlineTimer(Asked(waits.stopRequested) ? OutputTiming::StallMs : 0));
    if (status != ExitStatus::IoError && !stopped && !Moved(closed, opened.port, boxes))
        status = ExitStatus::IoError;
    return status;
}
