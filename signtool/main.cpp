// vantor-sign: sends to the sign from scripts and finds its serial port.
// See commandline.h for the commands and exitstatus.h for what it returns.
// A QCoreApplication only: it starts in a few milliseconds and needs no
// display.

#include "commandline.h"
#include "exitstatus.h"
#include "handoversender.h"
#include "inputlines.h"
#include "listingformat.h"
#include "portlinks.h"
#include "portlisting.h"
#include "portcontrol.h"
#include "sendcommand.h"
#include "stopsignals.h"
#include "streammessageboxes.h"

#ifndef Q_OS_WIN
#include "servecommand.h"
#endif

#include <QCoreApplication>

#include <csignal>
#include <cstdio>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <poll.h>
#include <unistd.h>
#endif

namespace {

void Print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

int Report(const ToolOutcome &outcome)
{
    Print(outcome.status == ExitStatus::Ok ? stdout : stderr, DisplayText(outcome.message) + QLatin1Char('\n'));
    return outcome.status;
}

// Whether a line can be read from standard input without waiting, so that
// what is queued for the port may wait behind it.
bool InputWaiting()
{
#ifdef Q_OS_WIN
    // A pipe tells what it holds and a file always has more; a console is
    // read only once what is queued has gone out.
    const HANDLE input = ::GetStdHandle(STD_INPUT_HANDLE);
    DWORD available = 0;
    switch (::GetFileType(input)) {
    case FILE_TYPE_PIPE: return ::PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr) && available > 0;
    case FILE_TYPE_DISK: return true;
    default: return false;
    }
#else
    pollfd input{STDIN_FILENO, POLLIN, 0};
    return ::poll(&input, 1, 0) > 0;
#endif
}

int Send(const SendRequest &request)
{
    StreamMessageBoxes boxes(stderr);
    PortControl port;
    // A port another of this user's programs holds and shares takes the
    // strings through that program.
    const std::unique_ptr<HandOverSender> holder = HandOverSender::ToHolderOf(request.portArgument);
    const auto run = [&](InputLines *input, const SendWaits &waits = {}) {
        return holder ? holder->Run(request, boxes, input) : RunSend(request, port, boxes, input, waits);
    };
    if (!request.messagesFromInput)
        return run(nullptr);
    StopSignals stop;
    InputLines input(stdin, [] { return StopSignals::Caught() != 0; });
    const SendWaits waits{[] { return StopSignals::Caught() != 0; }, InputWaiting};
    const int status = run(&input, waits);
    stop.RaiseCaught();
    return status;
}

int Serve(const ServeRequest &request)
{
#ifdef Q_OS_WIN
    Q_UNUSED(request);
    Print(stderr, QStringLiteral("vantor-sign: serve is not available on Windows.\n"));
    return ExitStatus::Unavailable;
#else
    StreamMessageBoxes boxes(stderr);
    PortControl port;
    return RunServe(request, port, boxes,
                    [](const QString &line) { Print(stderr, QStringLiteral("vantor-sign: %1\n").arg(line)); });
#endif
}

int Ports(bool json)
{
    const PortListing listing = ListPorts();
    Print(stdout, json ? QString::fromUtf8(ListingJson(listing).toJson()) : ListingText(listing));
    return ExitStatus::Ok;
}

} // namespace

int main(int argc, char *argv[])
{
#ifndef Q_OS_WIN
    // A write to a closed pipe is reported as a failed write, not a silent end.
    std::signal(SIGPIPE, SIG_IGN);
#endif
    QCoreApplication app(argc, argv);

    const ParsedCommandLine parsed = ParseCommandLine(QCoreApplication::arguments());
    if (!parsed.error.isEmpty()) {
        Print(stderr, QStringLiteral("vantor-sign: %1\nTry \"vantor-sign --help\".\n").arg(parsed.error));
        return ExitStatus::Usage;
    }
    switch (parsed.command) {
    case ToolCommand::Help:
        Print(stdout, parsed.helpText);
        return ExitStatus::Ok;
    case ToolCommand::Version:
        Print(stdout, VersionText() + QLatin1Char('\n'));
        return ExitStatus::Ok;
    case ToolCommand::Send:
        return Send(parsed.send);
    case ToolCommand::Serve:
        return Serve(parsed.serve);
    case ToolCommand::Ports:
        return Ports(parsed.json);
    case ToolCommand::Link:
        return Report(LinkPort(parsed.link, QString::fromLatin1(StableNamesFolder)));
    case ToolCommand::Unlink:
        return Report(UnlinkPort(parsed.link.port, parsed.link.force));
    }
    return ExitStatus::Usage;
}
