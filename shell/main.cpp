#include "appinfo.h"
#include "commandlinehelp.h"
#include "displaycheck.h"
#include "modmain.h"
#include "shellassets.h"

#include <QApplication>
#include <QIcon>
#include <QStringList>

#include <csignal>
#include <cstdio>

int main(int argc, char *argv[])
{
    // Every argument is the console's own: its one argument names the port,
    // and an option Qt knows (-style, -reverse, -platform ...) must reach the
    // port check, not change the program or stop it. Qt is handed the
    // program's name alone; the platform is still chosen through
    // QT_QPA_PLATFORM.
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments.append(QString::fromLocal8Bit(argv[i]));
    int qtArgumentCount = argc > 0 ? 1 : 0;

    // Past a file size limit a write then fails with EFBIG, and the save
    // reports it as it would a full disk, instead of the process ending
    // with the operator's fields unsaved.
#ifdef SIGXFSZ
    std::signal(SIGXFSZ, SIG_IGN);
#endif
    // Answered on standard output with no display needed.
    if (const std::optional<QString> information = InformationRequested(arguments)) {
        std::fputs(information->toLocal8Bit().constData(), stdout);
        return 0;
    }
    if (const QString missing = MissingDisplay(QString::fromUtf8(AppInfo::Title)); !missing.isEmpty()) {
        std::fprintf(stderr, "%s\n", missing.toLocal8Bit().constData());
        return 1;
    }

    QApplication app(qtArgumentCount, argv);
    QApplication::setApplicationName(QString::fromUtf8(AppInfo::Title));
    QApplication::setWindowIcon(ProgramIcon());
    return Main(arguments);
}
