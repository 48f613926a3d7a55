#include "savefailure.h"

#include "appinfo.h"
#include "messageboxes.h"

void ReportSaveFailure(MessageBoxes &boxes, const char *what, const QString &filePath,
                       const QString &errorDescription)
{
    boxes.MsgBox(QLatin1String(what) + LineBreak + u'"' + filePath + u'"' + LineBreak
                     + errorDescription,
                 MessageIcon::None, QLatin1String(AppInfo::Title));
}
