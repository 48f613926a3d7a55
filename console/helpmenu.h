#pragma once

// The Help pop-up menu of the main window and what its commands do, apart
// from the About command, which belongs to the shell's About window.

#include "desktop.h"

#include <QMenu>
#include <QString>

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

    QAction *const mnuHelpTopics;
    QAction *const mnuHelpDiv1;
    QAction *const mnuHelpWeb;
    QAction *const MnuHelpDiv2;
    QAction *const MnuHelpAbout;
};

// Where Help Topics looks for the help file: the folder, a separator, the
// name. The separator is inserted even when the folder already ends in one.
[[nodiscard]] QString HelpTopicsPath(const QString &programFolder, const QString &helpFileName);

// Starts the help viewer on a file; empty on success, otherwise why not.
using HelpViewer = QString (*)(QWidget *owner, const QString &path);

// The Help Topics command. With no help file name it tells the operator that
// there is no help, under the caption of `owner` (the main window). Otherwise
// it hands the path to the viewer without checking that the file exists, and
// shows the viewer's complaint, if any, under the application's title.
void ShowHelpTopics(QWidget *owner, MessageBoxes &boxes, const QString &programFolder,
                    const QString &helpFileName, HelpViewer openViewer = OpenHelpFile);

// The web command: opens the maker's web page; nothing is reported.
void ShowMakerWebPage();
