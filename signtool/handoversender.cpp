#include "handoversender.h"

#include "appinfo.h"
#include "commandline.h"
#include "commport.h"
#include "exitstatus.h"
#include "handoverprotocol.h"
#include "inputlines.h"
#include "messageboxes.h"
#include "signrequest.h"

#include <QElapsedTimer>
#include <QFileInfo>

#ifdef Q_OS_UNIX
#include <unistd.h>
#endif

namespace {

void Report(MessageBoxes &boxes, const QString &text, MessageIcon icon)
{
    boxes.MsgBox(text, icon, QString::fromLatin1(AppInfo::Title));
}

// A socket under our name made by another user is never spoken to: it could
// take the strings and show anything.
bool IsOwnSocket(const QString &name)
{
#ifdef Q_OS_UNIX
    const QFileInfo socket(name);
    return !name.isEmpty() && socket.exists() && socket.ownerId() == ::geteuid();
#else
    Q_UNUSED(name);
    return true;
#endif
}

std::optional<HandOverReply> NextReply(QLocalSocket &socket, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!socket.canReadLine()) {
        const qint64 left = timeoutMs - clock.elapsed();
        if (left <= 0 || !socket.waitForReadyRead(static_cast<int>(left)))
            return std::nullopt;
    }
    return ReadHandOverReply(socket.readLine());
}

} // namespace

std::unique_ptr<HandOverSender> HandOverSender::ToHolderOf(const QString &portArgument)
{
    const std::optional<int> port = PortNumberFromArgument(portArgument);
    if (!port || !IsOwnSocket(HandOverSocketName(*port)))
        return nullptr;
    std::unique_ptr<HandOverSender> sender(new HandOverSender(*port));
    sender->m_socket.connectToServer(HandOverSocketName(*port));
    // Nobody listening means a holder that has ended: the port is free.
    if (!sender->m_socket.waitForConnected(HandOverTiming::AnswerMs))
        return nullptr;
    return sender;
}

int HandOverSender::Run(SendRequest request, MessageBoxes &boxes, InputLines *input)
{
    // Refused here, before the holder hears of it, as the console refuses.
    const QStringList refusals = CheckSignFields(request.fields);
    for (const QString &refusal : refusals)
        Report(boxes, refusal, MessageIcon::None);
    if (!refusals.isEmpty())
        return ExitStatus::DataError;

    if (!request.messagesFromInput)
        return SendOne(request, request.message, boxes);
    while (const std::optional<QString> message = input ? input->nextMessage(boxes) : std::nullopt) {
        if (const int sent = SendOne(request, *message, boxes); sent != ExitStatus::Ok)
            return sent;
    }
    if (input && input->failed()) {
        Report(boxes, QStringLiteral("Reading standard input failed."), MessageIcon::Stop);
        return ExitStatus::IoError;
    }
    return input && input->refusedLines() > 0 ? ExitStatus::DataError : ExitStatus::Ok;
}

int HandOverSender::SendOne(const SendRequest &request, const QString &message, MessageBoxes &boxes)
{
    m_socket.write(WriteSignRequest({request.fields, message}) + '\n');
    std::optional<HandOverReply> reply;
    if (m_socket.waitForBytesWritten(HandOverTiming::AnswerMs))
        reply = NextReply(m_socket, HandOverTiming::AnswerMs);
    if (reply && reply->kind == HandOverReplyKind::Queued)
        reply = NextReply(m_socket, HandOverTiming::DeliveryMs);

    if (!reply || reply->kind == HandOverReplyKind::Queued) {
        Report(boxes, CannotOpenMessage(m_port, QStringLiteral("The program holding it did not answer.")),
               MessageIcon::Stop);
        return ExitStatus::TempFail;
    }
    switch (reply->kind) {
    case HandOverReplyKind::Sent:
        return ExitStatus::Ok;
    case HandOverReplyKind::Refused:
        Report(boxes, reply->why, MessageIcon::None);
        return ExitStatus::DataError;
    case HandOverReplyKind::Failed:
    case HandOverReplyKind::Queued:
        break;
    }
    Report(boxes, WriteFailureMessage(m_port, reply->why), MessageIcon::Stop);
    return ExitStatus::IoError;
}
