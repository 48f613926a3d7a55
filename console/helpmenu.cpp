#include "helpmenu.h"

#include "appinfo.h"
#include "makerinfo.h"
#include "messageboxes.h"

#include <QAction>
#include <QCursor>
#include <QWidget>

namespace {

QAction *Named(QAction *item, const char *name)
{
    item->setObjectName(QLatin1StringView(name));
    return item;
}

} // namespace

MnuHelp::MnuHelp(QWidget *parent)
    : QMenu(QStringLiteral("Help Popup"), parent)
    , mnuHelpTopics(Named(addAction(QStringLiteral("Help Topics...")), "mnuHelpTopics"))
    , mnuHelpDiv1(Named(addSeparator(), "mnuHelpDiv1"))
    , mnuHelpWeb(Named(addAction(QStringLiteral("Vantor on the Web")), "mnuHelpWeb"))
    , MnuHelpDiv2(Named(addSeparator(), "MnuHelpDiv2"))
    , MnuHelpAbout(Named(addAction(QStringLiteral("About Vantor Message Board...")), "MnuHelpAbout"))
{
    setObjectName(QStringLiteral("mnuHelp"));
    connect(mnuHelpTopics, &QAction::triggered, this, &MnuHelp::TopicsChosen);
    connect(mnuHelpWeb, &QAction::triggered, this, &MnuHelp::WebChosen);
    connect(MnuHelpAbout, &QAction::triggered, this, &MnuHelp::AboutChosen);
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
