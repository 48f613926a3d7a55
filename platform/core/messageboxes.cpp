#include "messageboxes.h"

QString DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(QChar(u'\r'), QChar(u'\n'));
    return shown;
}
