#include "helpmenu.h"

#include "appinfo.h"
#include "desktop.h"
#include "makerinfo.h"
#include "messageboxes.h"

#include <QAction>
#include <QCursor>
#include <QWidget>

MnuHelp::MnuHelp(QWidget *parent)
    : QMenu(QStringLiteral("Help Popup"), parent)
    , mnuHelpTopics(addAction(QStringLiteral("Help Topics...")))
    , mnuHelpDiv1(addSeparator())
    , mnuHelpWeb(addAction(QStringLiteral("Vantor on the Web")))
    , MnuHelpDiv2(addSeparator())
    , MnuHelpAbout(addAction(QStringLiteral("About Vantor Message Board...")))
{
}

void MnuHelp::PopupAtPointer()
{
    exec(QCursor::pos());
}

QString HelpTopicsPath(const QString &programFolder, const QString &helpFileName)
{
    return programFolder + QLatin1Char('/') + helpFileName;
}

void ShowHelpTopics(QWidget *owner, MessageBoxes &boxes, const QString &programFolder,
                    const QString &helpFileName, HelpViewer openViewer)
{
    if (helpFileName.isEmpty()) {
        boxes.MsgBox(QStringLiteral("Unable to display Help Contents. There is no Help "
                                    "associated with this project."),
                     MessageIcon::Information, owner->windowTitle());
        return;
    }
    const QString failure = openViewer(owner, HelpTopicsPath(programFolder, helpFileName));
    if (!failure.isEmpty())
        boxes.MsgBox(failure, MessageIcon::None, QString::fromUtf8(AppInfo::Title));
}

void ShowMakerWebPage()
{
    OpenWebAddress(MakerInfo::WebAddress);
}
