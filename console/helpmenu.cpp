#include "helpmenu.h"

#include "appinfo.h"
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

namespace {

using Open = DesktopOpenResult (*)(const QString &, const HandlerFailure &);

// Opens through `open`, reporting under `what` when the handler fails later.
DesktopOpener Watched(Open open, MessageBoxes &boxes, const QString &what)
{
    return [open, &boxes, what](const QString &target) {
        return open(target, [&boxes, what, target](int exitStatus, const QString &printed) {
            boxes.MsgBox(HandlerFailureMessage(what, target, exitStatus, printed), MessageIcon::None,
                         QString::fromUtf8(AppInfo::Title));
        });
    };
}

} // namespace

void ShowHelpTopics(QWidget *owner, MessageBoxes &boxes, const HelpTopicsFiles &files,
                    const DesktopOpener &open, const FileProbe &exists)
{
    if (files.helpFileName.isEmpty()) {
        boxes.MsgBox(QStringLiteral("Unable to display Help Contents. There is no Help "
                                    "associated with this project."),
                     MessageIcon::Information, owner->windowTitle());
        return;
    }
    const QStringList candidates = HelpTopicsCandidates(files);
    const QString target = FirstExisting(candidates, exists);
    if (target.isEmpty()) {
        boxes.MsgBox(NoHelpFileMessage(candidates), MessageIcon::None,
                     QString::fromUtf8(AppInfo::Title));
        return;
    }
    const DesktopOpener opener = open ? open : Watched(OpenLocalFile, boxes, HelpTopicsFailureLine());
    const DesktopOpenResult result = opener(target);
    if (!result.opened()) {
        boxes.MsgBox(DesktopRefusalMessage(HelpTopicsFailureLine(), target, result),
                     MessageIcon::None, QString::fromUtf8(AppInfo::Title));
    }
}

void ShowMakerWebPage(MessageBoxes &boxes, const DesktopOpener &open)
{
    const QString address = MakerInfo::WebAddress;
    const DesktopOpener opener = open ? open : Watched(OpenWebAddress, boxes, WebPageFailureLine());
    const DesktopOpenResult result = opener(address);
    if (!result.opened()) {
        boxes.MsgBox(DesktopRefusalMessage(WebPageFailureLine(), address, result),
                     MessageIcon::None, QString::fromUtf8(AppInfo::Title));
    }
}
