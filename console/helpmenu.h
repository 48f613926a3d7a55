#pragma once

// The menu and its items keep their historical names (mnuHelpDiv1,
// MnuHelpAbout...): keep them as they are.

// The Help pop-up menu of the main window and what its commands do, apart
// from the About command, which belongs to the shell's About window.

#include "desktop.h"
#include "helptopics.h"

#include <QMenu>
#include <QString>

#include <functional>

class MessageBoxes;
class QAction;
class QWidget;

// Not part of any menu bar: the Help button pops it up.
class MnuHelp : public QMenu
{
    Q_OBJECT

public:
    explicit MnuHelp(QWidget *parent);

    // Shows the menu at the mouse pointer and returns once an item has been
    // chosen (its action triggered) or the menu dismissed.
    void PopupAtPointer();

Q_SIGNALS:
    void TopicsChosen();
    void WebChosen();
    void AboutChosen();

private:
    QAction *const mnuHelpTopics;
    QAction *const mnuHelpDiv1;
    QAction *const mnuHelpWeb;
    QAction *const MnuHelpDiv2;
    QAction *const MnuHelpAbout;
};

// Hands a file or an address to the desktop.
using DesktopOpener = std::function<DesktopOpenResult(const QString &)>;
// Tells whether a file exists.
using FileProbe = std::function<bool(const QString &)>;

// The Help Topics command. With no help file name it tells the operator that
// there is no help, under the caption of `owner` (the main window).
// Otherwise it opens the first file of HelpTopicsCandidates() that exists;
// when none exists, or the desktop does not take it, it says which file and
// why under the application's title.
// Without an opener the desktop's handler is run and, when it ends without
// opening the file, the box names the file and the cause.
void ShowHelpTopics(QWidget *owner, MessageBoxes &boxes, const HelpTopicsFiles &files,
                    const DesktopOpener &open = {},
                    const FileProbe &exists = IsExistingFile);

// The web command: opens the maker's web page, and says why when the desktop
// does not take it.
void ShowMakerWebPage(MessageBoxes &boxes, const DesktopOpener &open = {});
