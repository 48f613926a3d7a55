#include "appinfo.h"
#include "modmain.h"
#include "shellassets.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QString::fromUtf8(AppInfo::Title));
    QApplication::setWindowIcon(ProgramIcon());
    return Main(app);
}
