#pragma once

// The help viewer and the desktop shell: both hand a file or an address to
// whatever program the desktop has chosen for it, and keep no hold on that
// program once it runs.
//
// On Linux the desktop's choice goes through xdg-open. Qt reports only
// whether it could start one: false when no launcher is on PATH or the
// display platform (offscreen, minimal) starts no programs at all. What
// xdg-open then does with the file (no such file, no browser installed)
// shows only in its exit status, so on a desktop it is run here, without
// waiting, and its end is reported through a callback.

#include <QString>

#include <functional>

class QObject;

// Why the desktop did not take a file or address.
enum class DesktopRefusal {
    None,           // handed over
    NotAnAddress,   // empty or not a valid address
    NoLauncher,     // xdg-open is not on PATH
    NoDesktop,      // the display platform starts no programs
    LauncherFailed, // xdg-open is there but was not started
    SystemRefused,  // Windows: the shell refused it, for the reason in systemText
};

struct DesktopOpenResult
{
    DesktopRefusal refusal = DesktopRefusal::None;
    // The Qt display platform in use ("xcb", "wayland", "offscreen"...).
    QString platformName;
    // The system's own words, where it gave any.
    QString systemText;

    [[nodiscard]] bool opened() const { return refusal == DesktopRefusal::None; }
};

// The program through which the desktop opens files and addresses, and the
// Debian package that brings it.
inline constexpr char DesktopLauncher[] = "xdg-open";
inline constexpr char DesktopLauncherPackage[] = "xdg-utils";

// Why a hand-over that Qt refused failed, from what can be seen afterwards:
// where the launcher is (empty: not on PATH) and the display platform.
[[nodiscard]] DesktopRefusal DiagnoseRefusal(const QString &launcherPath,
                                             const QString &platformName);

// True when a file (not a folder) exists at the path.
[[nodiscard]] bool IsExistingFile(const QString &path);

// Called from the event loop when the desktop's handler, once started, ends
// without having opened the target: its exit status and what it printed on
// standard error.
using HandlerFailure = std::function<void(int exitStatus, const QString &printed)>;

// Opens the file at `path`, exactly as given, with the desktop's handler for
// local files. Whether the file exists is the caller's affair. Given
// `onFailure`, on a desktop the handler is run here, without waiting for it,
// so that its end is seen.
[[nodiscard]] DesktopOpenResult OpenLocalFile(const QString &path, const HandlerFailure &onFailure = {});

// Hands a web address to the desktop's browser, as OpenLocalFile does.
[[nodiscard]] DesktopOpenResult OpenWebAddress(const QString &url, const HandlerFailure &onFailure = {});

// Starts `handler` with the one argument `target` and returns at once;
// false when it could not be started. `onFailure` runs when it ends with a
// status other than 0. The process goes with `context`.
[[nodiscard]] bool RunDesktopHandler(const QString &handler, const QString &target, QObject *context,
                                     const HandlerFailure &onFailure);
