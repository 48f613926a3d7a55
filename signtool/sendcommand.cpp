#include "sendcommand.h"

#include "appinfo.h"
#include "commandline.h"
#include "commport.h"
#include "exitstatus.h"
#include "inputlines.h"
#include "messageboxes.h"
#include "openstatus.h"
#include "serialcontrol.h"

namespace {

void Report(MessageBoxes &boxes, const QString &text, MessageIcon icon)
{
    boxes.MsgBox(text, icon, QString::fromLatin1(AppInfo::Title));
}

// One Send: false when the write failed, which has been reported.
bool SendOne(const SendRequest &request, const QString &message, int portNumber, SerialControl &port,
             MessageBoxes &boxes)
{
    const PortStatus written = port.Output(SignCommandText(request.fields, message));
    if (!written.ok)
        Report(boxes, WriteFailureMessage(portNumber, written.description), MessageIcon::Stop);
    return written.ok;
}

} // namespace

int RunSend(SendRequest request, SerialControl &port, MessageBoxes &boxes, InputLines *input)
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
    } else {
        while (const std::optional<QString> message = input ? input->nextMessage(boxes) : std::nullopt) {
            if (!SendOne(request, *message, opened.port, port, boxes)) {
                status = ExitStatus::IoError;
                break;
            }
        }
        if (status == ExitStatus::Ok && input && input->refusedLines() > 0)
            status = ExitStatus::DataError;
        if (status != ExitStatus::IoError && input && input->failed()) {
            Report(boxes, QStringLiteral("Reading standard input failed."), MessageIcon::Stop);
            status = ExitStatus::IoError;
        }
    }
    // Closing drains what the device has not taken yet.
    port.Close();
    return status;
}
