#!/usr/bin/env python3
"""Runs the Windows build's tests under Wine, on a private X server.

    VMB_WINDOWS_QT=QT_FOLDER run-under-wine.py BUILD_DIR INSTALLER [--screens FOLDER]

1. The tests of tests/windows through CTest, in a fresh Wine prefix whose
   COM5 is a pseudo-terminal and COM6 a device that refuses writers.
2. The console itself on COM5: a message typed, Enter, the sign command
   string read back from the pseudo-terminal byte for byte, Escape, and the
   message list file found beside the program.
3. The installer, silently into another fresh prefix: the installed files
   checked against the build (every library a program or plugin loads lies
   beside it or is the system's), the Start menu entries, the console
   started once from its entry's target, then the uninstaller, after which
   nothing is left in Program Files.

Wine downloads nothing (no Mono, no Gecko). With --screens, pictures of the
console and its About window are saved there too.
"""

import os
import pathlib
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import tty

WINE = shutil.which("wine64") or "/usr/lib/wine/wine64"
MINGW_RUNTIME = ["/usr/lib/gcc/x86_64-w64-mingw32/12-posix", "/usr/x86_64-w64-mingw32/lib"]
# The worked example with the console's defaults: board 0, brightness 99,
# left justified.
MESSAGE = "OPEN NOW"
EXPECTED_BYTES = b"\r0C0\r0B99\r0AOPEN NOW\r0D"
# Creating a file in it fails for every user, root included.
UNWRITABLE_FOLDER = "Z:/proc/1"
REFUSES_WRITERS = "/sys/kernel/uevent_seqnum"
INSTALL_FOLDER = "Program Files/Vantor Message Board"
START_MENU = "ProgramData/Microsoft/Windows/Start Menu/Programs"
# The installer's Start menu folder carries the version.
MENU_FOLDER = "Vantor Message Board*"


class Failure(Exception):
    pass


def check(condition, what):
    if not condition:
        raise Failure(what)
    print("ok:", what, flush=True)


class XServer:
    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-nolisten", "tcp", "-screen", "0", "1280x800x24"],
            pass_fds=[write_end], stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as display:
            self.display = ":" + display.readline().strip()

    def stop(self):
        self.process.terminate()
        self.process.wait()


class WinePrefix:
    def __init__(self, root, name, display, extra_path=()):
        self.path = pathlib.Path(root) / name
        self.env = dict(os.environ, WINEPREFIX=str(self.path), WINEDLLOVERRIDES="mscoree,mshtml=",
                        WINEDEBUG="-all", DISPLAY=display, WINEARCH="win64")
        self.env["WINEPATH"] = ";".join(list(extra_path) + MINGW_RUNTIME)
        subprocess.run([WINE, "wineboot", "-i"], env=self.env, check=True,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, timeout=300)
        self.wait()
        self.smooth_fonts()

    def smooth_fonts(self):
        # Windows smooths text out of the box; a fresh prefix does not, and
        # its unsmoothed rendering of the host's Arial stand-in drops the
        # capital I at the dialog size ("EX T"), a picture no operator sees.
        settings = self.path / "font-smoothing.reg"
        settings.write_text("REGEDIT4\n\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\n"
                            "\"FontSmoothing\"=\"2\"\n\"FontSmoothingType\"=dword:00000002\n"
                            "\"FontSmoothingGamma\"=dword:00000578\n\"FontSmoothingOrientation\"=dword:00000001\n")
        self.run("regedit", "/S", "Z:" + str(settings), check=True, timeout=120)
        self.wait()

    def drive_c(self):
        return self.path / "drive_c"

    def map_port(self, n, target):
        link = self.path / "dosdevices" / f"com{n}"
        if link.is_symlink() or link.exists():
            link.unlink()
        if target:
            link.symlink_to(target)

    def run(self, *args, **kwargs):
        return subprocess.run([WINE, *args], env=self.env, **kwargs)

    def start(self, *args):
        return subprocess.Popen([WINE, *args], env=self.env, stdout=subprocess.DEVNULL,
                                stderr=subprocess.DEVNULL)

    def wait(self):
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=300)

    def stop(self):
        subprocess.run(["wineserver", "-k"], env=self.env, stderr=subprocess.DEVNULL)


class PseudoTerminal:
    def __init__(self):
        self.master, self.slave = os.openpty()
        tty.setraw(self.slave)
        self.name = os.ttyname(self.slave)

    def read_until(self, expected, seconds):
        data = b""
        deadline = time.monotonic() + seconds
        while expected not in data and time.monotonic() < deadline:
            if select.select([self.master], [], [], 0.2)[0]:
                data += os.read(self.master, 4096)
        return data

    def drain(self):
        while select.select([self.master], [], [], 0)[0]:
            os.read(self.master, 4096)


def xdotool(env, *args):
    return subprocess.run(["xdotool", *args], env=env, capture_output=True, text=True, timeout=60)


def find_window(env, name, seconds=60):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        found = xdotool(env, "search", "--onlyvisible", "--name", f"^{name}$").stdout.split()
        if found:
            return found[0]
        time.sleep(0.3)
    raise Failure(f"no window \"{name}\" came up")


def screenshot(env, window, path):
    subprocess.run(["import", "-window", window, str(path)], env=env, timeout=60)


def run_unit_tests(prefix, build, pty):
    prefix.map_port(5, pty.name)
    prefix.map_port(6, REFUSES_WRITERS)
    prefix.map_port(9, None)
    env = dict(prefix.env, VMB_UNWRITABLE_FOLDER=UNWRITABLE_FOLDER)
    result = subprocess.run(["ctest", "--output-on-failure", "--no-tests=error", "--timeout", "300"],
                            cwd=build / "tests" / "windows", env=env)
    pty.drain()
    check(result.returncode == 0, "the Windows unit tests pass under Wine")


def run_console(prefix, build, pty, screens):
    program = build / "shell" / "VantorMsgBoard.exe"
    history = program.parent / "VantorMsgBoard-MsgList.txt"
    if history.exists():
        history.unlink()
    prefix.map_port(5, pty.name)
    console = prefix.start(str(program), "COM5")
    try:
        window = find_window(prefix.env, "Vantor Message Board")
        xdotool(prefix.env, "windowactivate", "--sync", window)
        time.sleep(1)
        xdotool(prefix.env, "type", "--delay", "50", MESSAGE)
        xdotool(prefix.env, "key", "Return")
        got = pty.read_until(EXPECTED_BYTES, 30)
        check(got == EXPECTED_BYTES, f"Enter wrote the sign command string to COM5 exactly (got {got!r})")
        if screens:
            screenshot(prefix.env, window, screens / "console-wine.png")
            show_about(prefix.env, window, screens)
        xdotool(prefix.env, "windowactivate", "--sync", window)
        xdotool(prefix.env, "key", "Escape")
        console.wait(timeout=60)
    finally:
        if console.poll() is None:
            console.kill()
    check(history.read_bytes() == MESSAGE.encode() + b"\r\n",
          "the message list file beside the program holds the message")


def show_about(env, window, screens):
    # The HELP button's middle, from the window's layout in twips (15 a pixel).
    xdotool(env, "mousemove", "--window", window, str((5430 + 660) // 15), str((960 + 240) // 15))
    xdotool(env, "click", "1")
    time.sleep(1)
    xdotool(env, "key", "Up", "Return")
    about = find_window(env, "About VantorMsgBoard", 20)
    # Mapped is not yet painted; on a loaded machine the paint comes late.
    xdotool(env, "windowactivate", "--sync", about)
    time.sleep(2)
    screenshot(env, about, screens / "about-wine.png")
    xdotool(env, "key", "--window", about, "Escape")
    time.sleep(1)


def pe_imports(path):
    dump = subprocess.run(["x86_64-w64-mingw32-objdump", "-p", str(path)], capture_output=True,
                          text=True, check=True).stdout
    return {line.split("DLL Name:")[1].strip().lower() for line in dump.splitlines() if "DLL Name:" in line}


def check_installed_files(installed, system):
    system_libraries = {p.name.lower() for p in system.iterdir()}
    beside = {p.name.lower() for p in installed.iterdir()}
    missing = []
    for binary in sorted(installed.rglob("*")):
        if binary.suffix.lower() not in (".exe", ".dll") or binary.name.lower() == "uninstall.exe":
            continue
        for library in pe_imports(binary):
            # API sets name the system's own libraries; the loader resolves them.
            is_api_set = library.startswith(("api-ms-win-", "ext-ms-win-"))
            if library not in beside and library not in system_libraries and not is_api_set:
                missing.append(f"{binary.relative_to(installed)} needs {library}")
    check(not missing, "every library the installed programs load is installed or the system's: "
          + ("; ".join(missing) or "none missing"))
    for name in ("VantorMsgBoard.exe", "VantorVirtualSign.exe", "vantor-sign.exe", "VantorMsgBoard-Guide.html",
                 "LICENSE.txt", "Uninstall.exe", "platforms/qwindows.dll", "imageformats/qjpeg.dll"):
        check((installed / name).is_file(), f"the installer put {name} in place")


def shortcut_target(link):
    # A shell link names its target in the link-info block as an 8-bit path.
    found = re.search(rb"[A-Za-z]:\\[^\0]*\\VantorMsgBoard\.exe", link.read_bytes())
    return found.group(0).decode("latin-1") if found else ""


def run_installer(root, display, installer, pty):
    prefix = WinePrefix(root, "install", display)
    try:
        result = prefix.run(str(installer), "/S", timeout=300)
        prefix.wait()
        check(result.returncode == 0, "the installer ran silently")
        installed = prefix.drive_c() / INSTALL_FOLDER
        check_installed_files(installed, prefix.drive_c() / "windows" / "system32")

        folders = list((prefix.drive_c() / START_MENU).glob(MENU_FOLDER))
        check(len(folders) == 1, f"the installer made one Start menu folder ({folders})")
        menu = folders[0]
        entries = sorted(p.name for p in menu.glob("*.lnk"))
        for entry in ("Vantor Message Board.lnk", "Vantor Virtual Sign.lnk", "Uninstall.lnk"):
            check(entry in entries, f"the Start menu has \"{entry}\" (it has {entries})")
        target = shortcut_target(menu / "Vantor Message Board.lnk")
        check(target.lower().endswith(f"{INSTALL_FOLDER}/VantorMsgBoard.exe".replace("/", "\\").lower()),
              f"the console's entry starts {target}")

        prefix.map_port(1, pty.name)
        console = prefix.start(target)
        try:
            window = find_window(prefix.env, "Vantor Message Board")
            xdotool(prefix.env, "windowactivate", "--sync", window)
            xdotool(prefix.env, "key", "Escape")
            console.wait(timeout=60)
        finally:
            if console.poll() is None:
                console.kill()
        check(console.returncode == 0, "the installed console started and ended cleanly")

        result = prefix.run(str(installed / "Uninstall.exe"), "/S", timeout=300)
        prefix.wait()
        # The uninstaller runs from a copy of itself; give it its time.
        deadline = time.monotonic() + 60
        while installed.exists() and time.monotonic() < deadline:
            time.sleep(0.5)
        left = sorted(str(p.relative_to(installed)) for p in installed.rglob("*")) if installed.exists() else []
        check(not installed.exists(), f"the uninstaller left nothing in Program Files ({left})")
        check(not menu.exists(), "the uninstaller removed the Start menu entries")
    finally:
        prefix.stop()


def main():
    build = pathlib.Path(sys.argv[1]).resolve()
    installer = pathlib.Path(sys.argv[2]).resolve()
    screens = pathlib.Path(sys.argv[4]).resolve() if len(sys.argv) > 4 and sys.argv[3] == "--screens" else None
    if screens:
        screens.mkdir(parents=True, exist_ok=True)
    qt_bin = os.environ["VMB_WINDOWS_QT"] + "/bin"
    xserver = XServer()
    pty = PseudoTerminal()
    started = time.monotonic()
    try:
        with tempfile.TemporaryDirectory(prefix="vmb-wine.") as root:
            prefix = WinePrefix(root, "tests", xserver.display, [qt_bin])
            print(f"Wine prefix ready after {time.monotonic() - started:.0f} s", flush=True)
            try:
                run_unit_tests(prefix, build, pty)
                run_console(prefix, build, pty, screens)
            finally:
                prefix.stop()
            run_installer(root, xserver.display, installer, pty)
    except Failure as failure:
        print("FAILED:", failure, file=sys.stderr)
        return 1
    finally:
        xserver.stop()
    print(f"Windows tests passed in {time.monotonic() - started:.0f} s")
    return 0


if __name__ == "__main__":
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    sys.exit(main())
