#pragma once

// What the Help menu's commands open and what they tell the operator when the
// desktop cannot open it. Nothing here touches a file or the desktop: the
// Help menu (helpmenu.h) asks the file system and the desktop and hands the
// answers in.

#include "desktop.h"

#include <QString>
#include <QStringList>

#include <functional>

// The files Help Topics may open and where it looks for them.
struct HelpTopicsFiles
{
    QString programFolder;
    // Empty: no help is associated with the program.
    QString helpFileName;
    QString guideFileName;
    // The installed doc folder, relative to the program folder.
    QString guideFolderFromProgram;

    // The running program's own files.
    [[nodiscard]] static HelpTopicsFiles ForProgramIn(const QString &programFolder);
};

// Where Help Topics looks for the help file: the folder, a separator, the
// name. The separator is inserted even when the folder already ends in one.
[[nodiscard]] QString HelpTopicsPath(const QString &programFolder, const QString &helpFileName);

// The files Help Topics tries, in order: the help file beside the program,
// the guide beside the program (a build folder or an unpacked copy), the
// guide in the installed doc folder.
[[nodiscard]] QStringList HelpTopicsCandidates(const HelpTopicsFiles &files);

// The first of `candidates` that exists; empty when none does.
[[nodiscard]] QString FirstExisting(const QStringList &candidates,
                                    const std::function<bool(const QString &)> &exists);

// The box shown when none of the files looked for exists.
[[nodiscard]] QString NoHelpFileMessage(const QStringList &lookedFor);

// The box shown when the desktop did not take `target`: `what` (its first
// line), the target in double quotes, then why and what to do about it.
[[nodiscard]] QString DesktopRefusalMessage(const QString &what, const QString &target,
                                            const DesktopOpenResult &result);

// The box shown when the desktop's handler took `target` but ended with
// `exitStatus` (-1: it crashed), having printed `printed`.
[[nodiscard]] QString HandlerFailureMessage(const QString &what, const QString &target, int exitStatus,
                                            const QString &printed);

// The first lines of the two boxes of the Help menu.
[[nodiscard]] QString HelpTopicsFailureLine();
[[nodiscard]] QString WebPageFailureLine();
