#include "appinfo.h"

#include <QCoreApplication>

QString AppInfo::ProgramFolder()
{
    return QCoreApplication::applicationDirPath();
}
