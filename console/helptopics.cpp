#include "helptopics.h"

#include "appinfo.h"
#include "messageboxes.h"

#include <QDir>

namespace {

QString Quoted(const QString &text)
{
    return QLatin1Char('"') + text + QLatin1Char('"');
}

QString RefusalReason(const DesktopOpenResult &result)
{
    const QString launcher = QString::fromLatin1(DesktopLauncher);
    switch (result.refusal) {
    case DesktopRefusal::None:
        break;
    case DesktopRefusal::NotAnAddress:
        return QStringLiteral("This is not a file name or web address that can be opened.");
    case DesktopRefusal::NoLauncher:
        return launcher
            + QStringLiteral(", which hands files and web addresses to the desktop's "
                             "programs, is not installed.")
            + LineBreak + QStringLiteral("Install the package ")
            + QString::fromLatin1(DesktopLauncherPackage) + QStringLiteral(" (sudo apt install ")
            + QString::fromLatin1(DesktopLauncherPackage) + QStringLiteral("), then try again.");
    case DesktopRefusal::NoDesktop:
        return QStringLiteral("The program runs without a desktop (display platform ")
            + Quoted(result.platformName)
            + QStringLiteral("), which starts no other program.") + LineBreak
            + QStringLiteral("Open it by hand, or run the program in a desktop session.");
    case DesktopRefusal::SystemRefused:
        return result.systemText + QLatin1Char('.');
    case DesktopRefusal::LauncherFailed:
        return launcher + QStringLiteral(" is installed but could not be started.") + LineBreak
            + QStringLiteral("Reinstall the package ")
            + QString::fromLatin1(DesktopLauncherPackage)
            + QStringLiteral(" (sudo apt install --reinstall ")
            + QString::fromLatin1(DesktopLauncherPackage) + QStringLiteral("), then try again.");
    }
    return {};
}

// What xdg-open's exit statuses mean, in the operator's terms.
QString HandlerVerdict(int exitStatus)
{
    switch (exitStatus) {
    case 2:
        return QStringLiteral("The file does not exist or cannot be read.");
    case 3:
        return QStringLiteral("No program on this desktop opens it.") + LineBreak
            + QStringLiteral("Install a web browser (for example: sudo apt install firefox-esr), "
                             "then try again.");
    case 4:
        return QStringLiteral("The program chosen to open it failed.");
    default:
        return QStringLiteral("The desktop could not open it.");
    }
}

} // namespace

HelpTopicsFiles HelpTopicsFiles::ForProgramIn(const QString &programFolder)
{
    return {programFolder, QString::fromUtf8(AppInfo::HelpFileName),
            QString::fromUtf8(AppInfo::GuideFileName),
            QString::fromUtf8(AppInfo::GuideFolderFromProgram)};
}

QString HelpTopicsPath(const QString &programFolder, const QString &helpFileName)
{
    return programFolder + QLatin1Char('/') + helpFileName;
}

QStringList HelpTopicsCandidates(const HelpTopicsFiles &files)
{
    QStringList candidates{HelpTopicsPath(files.programFolder, files.helpFileName),
                           HelpTopicsPath(files.programFolder, files.guideFileName)};
    if (!files.guideFolderFromProgram.isEmpty()) {
        // Cleaned, so that the operator reads /usr/share/doc/..., not
        // /usr/bin/../share/doc/...
        candidates << QDir::cleanPath(files.programFolder + QLatin1Char('/')
                                      + files.guideFolderFromProgram + QLatin1Char('/')
                                      + files.guideFileName);
    }
    candidates.removeDuplicates();
    return candidates;
}

QString FirstExisting(const QStringList &candidates,
                      const std::function<bool(const QString &)> &exists)
{
    for (const QString &candidate : candidates) {
        if (exists(candidate))
            return candidate;
    }
    return {};
}

QString NoHelpFileMessage(const QStringList &lookedFor)
{
    QString text = HelpTopicsFailureLine() + LineBreak
        + QStringLiteral("None of these files exists:");
    for (const QString &path : lookedFor)
        text += LineBreak + Quoted(path);
    return text + LineBreak + QStringLiteral("Reinstall the package ")
        + QString::fromUtf8(AppInfo::PackageName)
        + QStringLiteral(" to bring back the operator's guide.");
}

QString DesktopRefusalMessage(const QString &what, const QString &target,
                              const DesktopOpenResult &result)
{
    return what + LineBreak + Quoted(target) + LineBreak + RefusalReason(result);
}

QString HandlerFailureMessage(const QString &what, const QString &target, int exitStatus,
                              const QString &printed)
{
    const QString launcher = QString::fromLatin1(DesktopLauncher);
    QString ended = exitStatus < 0 ? launcher + QStringLiteral(" crashed")
                                   : launcher + QStringLiteral(" ended with status ") + QString::number(exitStatus);
    const QString firstLine = printed.section(QLatin1Char('\n'), 0, 0).trimmed();
    if (!firstLine.isEmpty())
        ended += QStringLiteral(": ") + firstLine;
    return what + LineBreak + Quoted(target) + LineBreak + ended + u'.' + LineBreak + HandlerVerdict(exitStatus);
}

QString HelpTopicsFailureLine()
{
    return QStringLiteral("Unable to display Help Topics");
}

QString WebPageFailureLine()
{
    return QStringLiteral("Unable to open the maker's web page");
}
