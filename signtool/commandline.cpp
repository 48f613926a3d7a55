#include "commandline.h"

#include "appinfo.h"
#include "commport.h"
#include "exitstatus.h"
#include "presentation.h"

#include <QCommandLineOption>
#include <QCommandLineParser>

namespace {

const QString ProgramName = QStringLiteral("vantor-sign");

QString CommandsText()
{
    return QStringLiteral(
        "Sends messages to the sign from scripts and finds its serial port.\n"
        "\n"
        "Commands:\n"
        "  send MESSAGE     write one sign command string (MESSAGE \"-\": one per line of standard input)\n"
        "  serve            hold the port for other programs and, with --mqtt, a broker\n"
        "  ports            list the serial devices and the COM<n> numbers that name them\n"
        "  link COM<n> DEV  make COM<n> name the device DEV\n"
        "  unlink COM<n>    remove that name\n"
        "\n"
        "\"vantor-sign COMMAND --help\" tells more about each.");
}

QString ExitStatusText()
{
    const QList<QPair<int, const char *>> statuses {
        {ExitStatus::Ok, "done"},
        {ExitStatus::Usage, "wrong command line, --port names no port, a malformed server address, "
                             "or link: DEV is no character device (--force makes the link)"},
        {ExitStatus::DataError, "board number or brightness refused, or an input line too long"},
        {ExitStatus::NoInput, "link/unlink: the device or the link does not exist"},
        {ExitStatus::Unavailable, "the port is not available on this system"},
        {ExitStatus::CannotCreate, "link: the link exists already or cannot be made; "
                                    "unlink: a running virtual sign holds it (--force removes it)"},
        {ExitStatus::IoError, "writing to the port, or reading standard input, failed"},
        {ExitStatus::TempFail, "the port cannot be opened (in use, or not permitted)"},
    };
    QString text = QStringLiteral("\nExit status:\n");
    for (const auto &[status, meaning] : statuses)
        text += QStringLiteral("  %1  %2\n").arg(status, 2).arg(QLatin1String(meaning));
    return text;
}

// The parser's help with its first line, which names the program by the path
// it was started with, replaced by the usage as the manual page gives it.
QString HelpText(const QCommandLineParser &parser, const QString &usage)
{
    const QString help = parser.helpText();
    return QStringLiteral("Usage: ") + ProgramName + QLatin1Char(' ') + usage
        + help.mid(help.indexOf(QLatin1Char('\n'))) + ExitStatusText();
}

ParsedCommandLine Help(const QString &text)
{
    ParsedCommandLine parsed;
    parsed.command = ToolCommand::Help;
    parsed.helpText = text;
    return parsed;
}

ParsedCommandLine Wrong(const QString &error)
{
    ParsedCommandLine parsed;
    parsed.error = error;
    return parsed;
}

// The command's own parser runs over the program name and what follows the
// command; its help option is its own.
struct CommandParser
{
    CommandParser(const QString &usage, const QString &description)
        : usage(usage)
    {
        parser.setApplicationDescription(description);
        parser.addOption(help);
    }

    bool parse(const QString &program, const QStringList &rest)
    {
        return parser.parse(QStringList {program} + rest);
    }

    [[nodiscard]] bool asksForHelp() const { return parser.isSet(help); }
    [[nodiscard]] ParsedCommandLine helpAnswer() const { return Help(HelpText(parser, usage)); }

    QCommandLineParser parser;
    const QString usage;
    const QCommandLineOption help {{QStringLiteral("h"), QStringLiteral("help")},
                                   QStringLiteral("Show this help.")};
};

// Reads a COM<n> that must name a device: port 0 and below name none.
std::optional<int> LinkablePort(const QString &argument)
{
    const std::optional<int> port = PortNumberFromArgument(argument);
    if (!port || *port < 1 || argument.trimmed().isEmpty())
        return std::nullopt;
    return port;
}

ParsedCommandLine ParseSend(const QString &program, const QStringList &rest)
{
    CommandParser command(QStringLiteral("send [--port COM<n>] [--board N] [--brightness N] "
                                         "[--presentation NAME] MESSAGE"),
                          QStringLiteral("Writes the sign command string the console's Send writes for "
                                         "the same values. MESSAGE \"-\" reads standard input and sends "
                                         "one string per line as lines arrive, over one open port, until "
                                         "the input ends; a line that is empty or only spaces sends "
                                         "nothing. Put \"--\" before a MESSAGE that starts with \"-\"."));
    const SignFields defaults = DefaultSignFields();
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("The port, as the console's argument: COM<n> (default COM1)."),
                                  QStringLiteral("COM<n>"));
    const QCommandLineOption board(QStringLiteral("board"),
                                   QStringLiteral("Board number 0 to 99 (default %1).").arg(defaults.boardNum),
                                   QStringLiteral("N"), defaults.boardNum);
    const QCommandLineOption bright(QStringLiteral("brightness"),
                                    QStringLiteral("Brightness 0 to 99 (default %1).").arg(defaults.bright),
                                    QStringLiteral("N"), defaults.bright);
    const QCommandLineOption present(QStringLiteral("presentation"),
                                     QStringLiteral("%1, or 0 to 5 (default %2).")
                                         .arg(PresentationNames().join(QLatin1Char('|')),
                                              PresentationNames().at(defaults.present)),
                                     QStringLiteral("NAME"));
    command.parser.addOptions({port, board, bright, present});
    command.parser.addPositionalArgument(QStringLiteral("MESSAGE"),
                                         QStringLiteral("The text to show, or \"-\" for standard input."));
    if (!command.parse(program, rest))
        return Wrong(command.parser.errorText());
    if (command.asksForHelp())
        return command.helpAnswer();

    const QStringList positional = command.parser.positionalArguments();
    if (positional.size() != 1)
        return Wrong(QStringLiteral("send takes one MESSAGE (quote it; \"-\" reads standard input)"));

    ParsedCommandLine parsed;
    parsed.command = ToolCommand::Send;
    SendRequest &send = parsed.send;
    send.portArgument = command.parser.value(port);
    send.fields = {command.parser.value(board), command.parser.value(bright), defaults.present};
    if (command.parser.isSet(present)) {
        const std::optional<std::int16_t> index = PresentationFromName(command.parser.value(present));
        if (!index)
            return Wrong(QStringLiteral("unknown presentation \"%1\"; give one of %2, or 0 to 5")
                             .arg(command.parser.value(present), PresentationNames().join(QStringLiteral(", "))));
        send.fields.present = *index;
    }
    send.messagesFromInput = positional.first() == QLatin1String("-");
    if (!send.messagesFromInput)
        send.message = positional.first();
    return parsed;
}

ParsedCommandLine ParseServe(const QString &program, const QStringList &rest)
{
    CommandParser command(QStringLiteral("serve [--port COM<n>] [--mqtt URL] [--topic PREFIX] [options]"),
                          QStringLiteral("Holds the port until stopped: \"vantor-sign send\" by this user "
                                         "sends through it. With --mqtt, a message published on "
                                         "PREFIX/<board>/set (JSON with message, brightness and "
                                         "presentation, or plain text) is sent to that board and its "
                                         "state published on PREFIX/<board>/state."));
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("The port, as the console's argument: COM<n> (default COM1)."),
                                  QStringLiteral("COM<n>"));
    const QCommandLineOption mqtt(QStringLiteral("mqtt"),
                                  QStringLiteral("The broker: mqtt://[USER[:PASSWORD]@]HOST[:PORT], mqtts:// for TLS."),
                                  QStringLiteral("URL"));
    const QCommandLineOption topic(QStringLiteral("topic"), QStringLiteral("The topic prefix (default vantor)."),
                                   QStringLiteral("PREFIX"), QStringLiteral("vantor"));
    const QCommandLineOption boards(QStringLiteral("boards"),
                                    QStringLiteral("Boards announced for discovery, comma-separated (default 0)."),
                                    QStringLiteral("LIST"), QStringLiteral("0"));
    const QCommandLineOption caFile(QStringLiteral("cafile"),
                                    QStringLiteral("TLS: the certificate authorities to trust."),
                                    QStringLiteral("FILE"));
    const QCommandLineOption user(QStringLiteral("user"), QStringLiteral("The broker user name."),
                                  QStringLiteral("NAME"));
    const QCommandLineOption passwordFile(QStringLiteral("password-file"),
                                          QStringLiteral("A file whose first line is the broker password."),
                                          QStringLiteral("FILE"));
    command.parser.addOptions({port, mqtt, topic, boards, caFile, user, passwordFile});
    if (!command.parse(program, rest))
        return Wrong(command.parser.errorText());
    if (command.asksForHelp())
        return command.helpAnswer();
    if (!command.parser.positionalArguments().isEmpty())
        return Wrong(QStringLiteral("serve takes no arguments"));
    const QString prefix = command.parser.value(topic);
    if (prefix.isEmpty() || prefix.contains(QLatin1Char('+')) || prefix.contains(QLatin1Char('#')))
        return Wrong(QStringLiteral("--topic: give a topic without + or #"));

    ParsedCommandLine parsed;
    parsed.command = ToolCommand::Serve;
    parsed.serve = {command.parser.value(port),
                    command.parser.value(mqtt),
                    prefix,
                    command.parser.value(boards).split(QLatin1Char(','), Qt::SkipEmptyParts),
                    command.parser.value(caFile),
                    command.parser.value(user),
                    command.parser.value(passwordFile)};
    return parsed;
}

ParsedCommandLine ParsePorts(const QString &program, const QStringList &rest)
{
    CommandParser command(QStringLiteral("ports [--json]"),
                          QStringLiteral("Lists the serial devices: path, stable /dev/serial/by-id name, "
                                         "description, maker, serial number, vendor and product ids, "
                                         "whether in use and by which process, and the COM<n> numbers "
                                         "that name it. Then the COM<n> links to other devices."));
    const QCommandLineOption json(QStringLiteral("json"), QStringLiteral("The same as JSON, for scripts."));
    command.parser.addOption(json);
    if (!command.parse(program, rest))
        return Wrong(command.parser.errorText());
    if (command.asksForHelp())
        return command.helpAnswer();
    if (!command.parser.positionalArguments().isEmpty())
        return Wrong(QStringLiteral("ports takes no arguments"));
    ParsedCommandLine parsed;
    parsed.command = ToolCommand::Ports;
    parsed.json = command.parser.isSet(json);
    return parsed;
}

ParsedCommandLine ParseLink(const QString &program, const QStringList &rest, bool unlink)
{
    CommandParser command(unlink ? QStringLiteral("unlink [--force] COM<n>") : QStringLiteral("link [--force] COM<n> DEVICE"),
                          unlink ? QStringLiteral("Removes the link that makes COM<n> name a device.")
                                 : QStringLiteral("Makes COM<n> name DEVICE for the console and this program. "
                                                  "A device with a stable /dev/serial/by-id name is linked "
                                                  "by that name, so the link survives replugging."));
    const QCommandLineOption force(QStringLiteral("force"),
                                   unlink ? QStringLiteral("Remove the link even while a virtual sign holds it.")
                                          : QStringLiteral("Replace an existing link; link a file that is no "
                                                           "serial device."));
    command.parser.addOption(force);
    command.parser.addPositionalArgument(QStringLiteral("COM<n>"),
                                         QStringLiteral("The port, as the console's argument."));
    if (!unlink) {
        command.parser.addPositionalArgument(
            QStringLiteral("DEVICE"), QStringLiteral("The serial device, such as /dev/ttyUSB0, or a serial "
                                                     "server, tcp://HOST:PORT or rfc2217://HOST:PORT. "
                                                     "Anything but a character device needs --force."));
    }
    if (!command.parse(program, rest))
        return Wrong(command.parser.errorText());
    if (command.asksForHelp())
        return command.helpAnswer();

    const QStringList positional = command.parser.positionalArguments();
    const qsizetype expected = unlink ? 1 : 2;
    if (positional.size() != expected)
        return Wrong(unlink ? QStringLiteral("unlink takes COM<n>")
                            : QStringLiteral("link takes COM<n> and DEVICE"));
    const std::optional<int> port = LinkablePort(positional.first());
    if (!port)
        return Wrong(QStringLiteral("\"%1\" names no port; give it as COM<n> with n from 1")
                         .arg(positional.first()));

    ParsedCommandLine parsed;
    parsed.command = unlink ? ToolCommand::Unlink : ToolCommand::Link;
    parsed.link.port = *port;
    parsed.link.force = command.parser.isSet(force);
    if (!unlink)
        parsed.link.device = positional.at(1);
    return parsed;
}

} // namespace

ParsedCommandLine ParseCommandLine(const QStringList &arguments)
{
    const QString program = arguments.value(0, ProgramName);

    QCommandLineParser top;
    top.setApplicationDescription(CommandsText());
    top.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Show this help."));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version."));
    top.addOptions({help, version});
    top.addPositionalArgument(QStringLiteral("command"), QStringLiteral("send, serve, ports, link or unlink."),
                              QStringLiteral("COMMAND [options]"));
    if (!top.parse(arguments.isEmpty() ? QStringList {program} : arguments))
        return Wrong(top.errorText());
    if (top.isSet(version)) {
        ParsedCommandLine parsed;
        parsed.command = ToolCommand::Version;
        return parsed;
    }
    const QStringList positional = top.positionalArguments();
    if (top.isSet(help))
        return Help(HelpText(top, QStringLiteral("COMMAND [options]")));
    if (positional.isEmpty())
        return Wrong(QStringLiteral("no command given"));

    const QString name = positional.first();
    const QStringList rest = positional.mid(1);
    if (name == QLatin1String("send"))
        return ParseSend(program, rest);
    if (name == QLatin1String("serve"))
        return ParseServe(program, rest);
    if (name == QLatin1String("ports"))
        return ParsePorts(program, rest);
    if (name == QLatin1String("link") || name == QLatin1String("unlink"))
        return ParseLink(program, rest, name == QLatin1String("unlink"));
    return Wrong(QStringLiteral("unknown command \"%1\"").arg(name));
}

QString VersionText()
{
    return ProgramName + QLatin1Char(' ') + QString::number(AppInfo::VersionMajor) + QLatin1Char('.')
        + QString::number(AppInfo::VersionMinor) + QLatin1Char('.') + QString::number(AppInfo::VersionRevision);
}
