// VantorVirtualSign: plays the sign for the console on a pseudo-terminal.
//
//   VantorVirtualSign [--print] [COM<n>]
//   VantorVirtualSign [--print] --listen tcp://HOST:PORT | rfc2217://HOST:PORT
//
// It links the console's port n to its pseudo-terminal (the lowest free port
// when none is given), or listens as a serial server on the network, says so
// in one line on standard output, and shows what arrives: in a window, or
// with --print as lines on standard output.

#include "appinfo.h"
#include "displaycheck.h"
#include "networksign.h"
#include "printmode.h"
#include "signwindow.h"
#ifndef Q_OS_WIN
#include "portlink.h"
#include "pseudoterminal.h"
#include "terminationsignals.h"
#endif

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char *const PrintOption = "print";
const char *const ListenOption = "listen";

// The window system is needed, and so QApplication, only without --print;
// that has to be known before the parser can run. Help is text only, and
// must show where there is no display as well.
bool NeedsNoWindow(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        for (const char *option : {"--print", "--help", "-h", "--version", "-v"}) {
            if (std::strcmp(argv[i], option) == 0)
                return true;
        }
    }
    return false;
}

void Fail(const QString &message)
{
    std::fprintf(stderr, "VantorVirtualSign: %s\n", qPrintable(message));
}

#ifndef Q_OS_WIN
std::unique_ptr<PortLink> ClaimPort(const QStringList &arguments, const QString &device)
{
    const PortDirectory ports;
    QString error;
    std::unique_ptr<PortLink> link;
    if (arguments.isEmpty()) {
        link = PortLink::claimLowestFree(ports, device, &error);
    } else {
        const QString argument = arguments.join(u' ');
        const std::optional<int> port = ParsePortArgument(argument);
        if (!port) {
            Fail(QStringLiteral("\"%1\" names no port; give it as COM<n>, for example COM5").arg(argument));
            return nullptr;
        }
        link = PortLink::claim(ports, *port, device, &error);
    }
    if (!link)
        Fail(error);
    return link;
}
#endif

// Shows what arrives from `source` (a pseudo-terminal or a network sign)
// until the program is asked to end.
template<typename Source>
int ShowUntilEnd(QCoreApplication &app, Source &source, QFile &output, bool printMode, const QString &portName,
                 const QString &device)
{
#ifndef Q_OS_WIN
    TerminationSignals termination;
    QObject::connect(&termination, &TerminationSignals::terminationRequested, &app, &QCoreApplication::quit);
#endif
    if (printMode) {
        PrintMode printer(output);
        QObject::connect(&source, &Source::received, &printer, &PrintMode::takeBytes);
        return app.exec();
    }
    SignWindow window(portName, device);
    QObject::connect(&source, &Source::received, &window, &SignWindow::takeBytes);
    window.show();
    return app.exec();
}

int PlayNetworkSign(QCoreApplication &app, const QString &addressText, bool printMode)
{
    const std::optional<NetworkPort> address = ParseNetworkPort(addressText);
    if (!address) {
        Fail(QStringLiteral("\"%1\" is no address; give it as tcp://HOST:PORT or rfc2217://HOST:PORT")
                 .arg(addressText));
        return 1;
    }
    NetworkSign sign(*address);
    QString error;
    if (!sign.listen(&error)) {
        Fail(error);
        return 1;
    }
    QFile output;
    if (!output.open(stdout, QIODevice::WriteOnly)) {
        Fail(QStringLiteral("cannot write to standard output"));
        return 1;
    }
    WriteLine(output, QStringLiteral("listen=") + NetworkPortText(*address));
    return ShowUntilEnd(app, sign, output, printMode, NetworkPortText(*address), QStringLiteral("network"));
}

} // namespace

int main(int argc, char *argv[])
{
#ifndef Q_OS_WIN
    // Before any thread starts, so the signals reach the event loop only.
    if (!TerminationSignals::blockTerminationSignals())
        Fail(QStringLiteral("cannot block the termination signals"));
    // A reader that goes away must not end the program before it removes its link.
    std::signal(SIGPIPE, SIG_IGN);
#endif

    const bool needsNoWindow = NeedsNoWindow(argc, argv);
    if (const QString missing = MissingDisplay(QStringLiteral("VantorVirtualSign"));
        !needsNoWindow && !missing.isEmpty()) {
        std::fprintf(stderr, "%s\n", qPrintable(missing));
        return 1;
    }
    const std::unique_ptr<QCoreApplication> app = needsNoWindow
        ? std::make_unique<QCoreApplication>(argc, argv)
        : std::make_unique<QApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("VantorVirtualSign"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Plays the message board for VantorMsgBoard, without hardware: links the console's port\n"
        "COM<n> ($XDG_CONFIG_HOME/VantorMsgBoard/ports/com<n>, ~/.config by default) to a\n"
        "pseudo-terminal, names both in its first line on standard output, and shows every\n"
        "command string that arrives. Start the console on the same port: VantorMsgBoard COM<n>."));
    // Its own options only: Qt's --help-all would offer the toolkit's too.
    const QCommandLineOption helpOption({QStringLiteral("h"), QStringLiteral("help")},
                                        QStringLiteral("Display this help and exit."));
    parser.addOption(helpOption);
    const QCommandLineOption versionOption(QStringLiteral("version"),
                                           QStringLiteral("Output version information and exit."));
    parser.addOption(versionOption);
    parser.addOption({QString::fromLatin1(PrintOption),
                      QStringLiteral("No window: write one line per decoded string to standard output.")});
    parser.addOption({QString::fromLatin1(ListenOption),
                      QStringLiteral("Play a sign behind a serial server instead: listen on ADDRESS, "
                                     "tcp://HOST:PORT or rfc2217://HOST:PORT, one client at a time. "
                                     "Link the console's port to the same address."),
                      QStringLiteral("ADDRESS")});
    parser.addPositionalArgument(QStringLiteral("port"),
                                 QStringLiteral("COM<n> (any case), the console's port n; the lowest port "
                                                "that names nothing yet when left out."),
                                 QStringLiteral("[COM<n>]"));
    parser.process(*app);
    if (parser.isSet(helpOption)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return 0;
    }
    if (parser.isSet(versionOption)) {
        std::printf("VantorVirtualSign %d.%d.%d\n", AppInfo::VersionMajor, AppInfo::VersionMinor,
                    AppInfo::VersionRevision);
        return 0;
    }
    const bool printMode = parser.isSet(QString::fromLatin1(PrintOption));
    if (parser.isSet(QString::fromLatin1(ListenOption)))
        return PlayNetworkSign(*app, parser.value(QString::fromLatin1(ListenOption)), printMode);

#ifdef Q_OS_WIN
    Fail(QStringLiteral("Windows has no pseudo-terminal to play a port on; play a sign behind a serial "
                        "server instead: --listen tcp://HOST:PORT or rfc2217://HOST:PORT"));
    return 1;
#else
    QString error;
    const std::unique_ptr<PseudoTerminal> terminal = PseudoTerminal::open(&error);
    if (!terminal) {
        Fail(error);
        return 1;
    }
    const std::unique_ptr<PortLink> link = ClaimPort(parser.positionalArguments(), terminal->processBoundPath());
    if (!link)
        return 1;

    QFile output;
    if (!output.open(stdout, QIODevice::WriteOnly)) {
        Fail(QStringLiteral("cannot write to standard output"));
        return 1;
    }
    WriteLine(output, StartLine(link->portName(), terminal->devicePath(), link->linkPath()));

    return ShowUntilEnd(*app, *terminal, output, printMode, link->portName(), terminal->devicePath());
#endif
}
