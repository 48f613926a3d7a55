// vantor-sign's command line, from arguments split out of the input at NUL
// bytes: an accepted send has a presentation the sign knows, and the string
// it would write for any accepted fields holds exactly the four records the
// sign reads, whatever line breaks the message brought.

#include "commandline.h"
#include "fuzzpieces.h"
#include "signfields.h"

#include <QString>
#include <QStringList>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QStringList arguments{QStringLiteral("vantor-sign")};
    for (const QByteArray &argument :
         QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size)).split('\0'))
        arguments.append(QString::fromUtf8(argument));

    ParsedCommandLine parsed = ParseCommandLine(arguments);
    if (!parsed.error.isEmpty() || parsed.command != ToolCommand::Send)
        return 0;

    FUZZ_CHECK(parsed.send.fields.present >= 0 && parsed.send.fields.present <= 5);
    if (!CheckSignFields(parsed.send.fields).isEmpty())
        return 0;
    const QString command = SignCommandText(parsed.send.fields, parsed.send.message);
    FUZZ_CHECK(command.count(QChar(u'\r')) == 4);
    FUZZ_CHECK(!command.contains(QChar(u'\n')));
    return 0;
}
