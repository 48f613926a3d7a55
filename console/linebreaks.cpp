#include "linebreaks.h"

QString WithLineBreaksAsSpaces(const QString &text)
{
    QString mended = text;
    mended.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    mended.replace(QChar(u'\r'), QChar(u' '));
    mended.replace(QChar(u'\n'), QChar(u' '));
    return mended;
}
