#include "savefailure.h"

#include "appinfo.h"
#include "messageboxes.h"

void ReportSaveFailure(MessageBoxes &boxes, const char *what, const QString &filePath,
                       const QString &errorDescription)
{
    const QChar lineBreak(u'\r');
    boxes.MsgBox(QLatin1String(what) + lineBreak + u'"' + filePath + u'"' + lineBreak
                     + errorDescription,
                 MessageIcon::None, QLatin1String(AppInfo::Title));
}
