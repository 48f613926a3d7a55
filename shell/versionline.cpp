#include "versionline.h"

QString VersionLine(int major, int minor)
{
    return QStringLiteral("Version %1.%2").arg(major).arg(minor);
}
