#include "shellassets.h"

#include <QIcon>
#include <QPixmap>

QIcon ProgramIcon()
{
    return QIcon(QStringLiteral(":/assets/icon.png"));
}

QPixmap LogoPicture()
{
    return QPixmap(QStringLiteral(":/assets/logo.jpg"));
}
