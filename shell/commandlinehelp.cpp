#include "commandlinehelp.h"

#include "appinfo.h"

namespace {

QString Usage()
{
    return QStringLiteral(
        "Usage: VantorMsgBoard [COM<n>]\n"
        "\n"
        "The console of the Vantor message board: type a message, choose board number,\n"
        "brightness and presentation, and press SEND to show it on the sign.\n"
        "\n"
        "  COM<n>     the port to send on (any case, COM1 when left out). Port n is the\n"
        "             device, serial server (tcp://HOST:PORT, rfc2217://HOST:PORT) or\n"
        "             virtual sign that ~/.config/VantorMsgBoard/ports/com<n> links to,\n"
        "             else /dev/ttyS<n-1>. Click the port label in the window, or press\n"
        "             Ctrl+O, to choose what port n names.\n"
        "  -h, --help display this help and exit\n"
        "  --version  output version information and exit\n"
        "\n"
        "See also vantor-sign(1), VantorVirtualSign(1).\n");
}

} // namespace

std::optional<QString> InformationRequested(const QStringList &arguments)
{
    if (arguments.size() != 2)
        return std::nullopt;
    const QString &only = arguments.at(1);
    if (only == QLatin1String("--help") || only == QLatin1String("-h"))
        return Usage();
    if (only == QLatin1String("--version")) {
        return QStringLiteral("%1 %2.%3.%4\n")
            .arg(QLatin1String(AppInfo::Title), QString::number(AppInfo::VersionMajor),
                 QString::number(AppInfo::VersionMinor), QString::number(AppInfo::VersionRevision));
    }
    return std::nullopt;
}
