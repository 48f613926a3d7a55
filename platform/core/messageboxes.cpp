#include "messageboxes.h"

#include <QStringList>

#include <algorithm>

QString DisplayText(const QString &text)
{
    QString shown = text;
    shown.replace(LineBreak, QChar(u'\n'));
    return shown;
}

QString ElidedLines(const QString &text, qsizetype maxLineLength)
{
    const QChar ellipsis(u'\u2026');
    const qsizetype keep = std::max<qsizetype>(maxLineLength - 1, 0);
    QStringList lines = text.split(LineBreak);
    for (QString &line : lines) {
        if (line.size() > maxLineLength)
            line = line.first(keep - keep / 2) + ellipsis + line.last(keep / 2);
    }
    return lines.join(LineBreak);
}
