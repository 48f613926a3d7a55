#!/usr/bin/env bash
# Checks the Debian package as an operator gets it: its file list and
# control fields, its desktop entries, metainfo and manual pages, lintian;
# then the console unpacked from it, in a program folder the operator cannot
# write to, keeps its history in the operator's data folder.
#
#   check-package.sh PACKAGE.deb
#
# Run as root, the programs run as the user vmbtest (tests/support/as-operator.sh):
# root may write to any folder, an operator may not.
DEB=$1
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/e2e-lib.sh"

[ -f "$DEB" ] || e2e_fail "no package $DEB"
for tool in dpkg-deb desktop-file-validate appstreamcli lintian man file; do
    command -v "$tool" >/dev/null || e2e_fail "not installed: $tool (scripts/test installs it)"
done

arch=$(dpkg --print-architecture)
e2e_expect_equal "package file name" "vantor-message-board_1.0.0_$arch.deb" "${DEB##*/}"

# --- Control fields.
field() {
    dpkg-deb -f "$DEB" "$1"
}
e2e_expect_equal "Package" vantor-message-board "$(field Package)"
e2e_expect_equal "Version" 1.0.0 "$(field Version)"
e2e_expect_equal "Architecture" "$arch" "$(field Architecture)"
e2e_expect_equal "Recommends" "xdg-utils, bash-completion" "$(field Recommends)"
depends=$(field Depends)
# From the programs' own libraries, the fonts the windows are laid out with, and
# the Qt release whose private interface the message field paints through (the
# library's symbols file adds it for its private symbols).
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6 libstdc++6 fonts-liberation qt6-base-abi; do
    [[ ", $depends," == *", $needed"[\ ,]* ]] || e2e_fail "Depends lacks $needed: $depends"
done

# --- File list: exactly these files, owned by root, programs executable.
app=example.vantor.VantorMsgBoard
doc=usr/share/doc/vantor-message-board
expected_files="./$doc/changelog.gz
./$doc/console-and-virtual-sign.png
./$doc/copyright
./$doc/examples/vantor-sign-serve.env
./$doc/VantorMsgBoard-Guide.html
./usr/bin/VantorMsgBoard
./usr/bin/VantorVirtualSign
./usr/bin/vantor-sign
./usr/lib/systemd/user/vantor-sign-serve@.service
./usr/share/bash-completion/completions/vantor-sign
./usr/share/applications/$app.desktop
./usr/share/applications/example.vantor.VantorVirtualSign.desktop
./usr/share/icons/hicolor/128x128/apps/$app.png
./usr/share/icons/hicolor/16x16/apps/$app.png
./usr/share/icons/hicolor/32x32/apps/$app.png
./usr/share/icons/hicolor/48x48/apps/$app.png
./usr/share/icons/hicolor/64x64/apps/$app.png
./usr/share/icons/hicolor/scalable/apps/$app.svg
./usr/share/man/man1/VantorMsgBoard.1.gz
./usr/share/man/man1/VantorVirtualSign.1.gz
./usr/share/man/man1/vantor-sign.1.gz
./usr/share/metainfo/$app.metainfo.xml"
listing=$(dpkg-deb -c "$DEB")
e2e_expect_equal "files in the package" "$(LC_ALL=C sort <<<"$expected_files")" \
    "$(awk '$1 !~ /^d/ {print $6}' <<<"$listing" | LC_ALL=C sort)"
e2e_expect_equal "entries not owned by root/root" "" "$(awk '$2 != "root/root"' <<<"$listing")"
for program in VantorMsgBoard VantorVirtualSign vantor-sign; do
    e2e_expect_equal "mode of $program" "-rwxr-xr-x" \
        "$(awk -v p="./usr/bin/$program" '$6 == p {print $1}' <<<"$listing")"
done

root="$E2E_WORK/root"
# The program folder is made read-only below; give it back before removal.
trap 'chmod -R u+w "$root" 2>/dev/null; e2e_cleanup' EXIT
dpkg-deb -x "$DEB" "$root" || e2e_fail "dpkg-deb -x failed"

# --- Desktop data: entries valid and naming an installed icon and program.
for entry in "$root"/usr/share/applications/*.desktop; do
    report=$(desktop-file-validate "$entry" 2>&1) || e2e_fail "desktop-file-validate ${entry##*/}: $report"
    [ -z "$report" ] || e2e_fail "desktop-file-validate ${entry##*/}: $report"
    icon=$(sed -n 's/^Icon=//p' "$entry")
    [ -f "$root/usr/share/icons/hicolor/scalable/apps/$icon.svg" ] \
        || e2e_fail "${entry##*/}: no scalable icon named $icon"
    exec_program=$(sed -n 's/^Exec=\([^ ]*\).*/\1/p' "$entry")
    [ -x "$root/usr/bin/$exec_program" ] || e2e_fail "${entry##*/}: Exec names no installed program: $exec_program"
done
report=$(appstreamcli validate --no-net "$root/usr/share/metainfo/$app.metainfo.xml" 2>&1) \
    || e2e_fail "appstreamcli validate: $report"
for size in 16 32 48 64 128; do
    picture=$(file -b "$root/usr/share/icons/hicolor/${size}x$size/apps/$app.png")
    [[ $picture == "PNG image data, $size x $size,"* ]] || e2e_fail "icon in ${size}x$size is $picture"
done
for page in "$root"/usr/share/man/man1/*.1.gz; do
    warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)
    [ -z "$warnings" ] || e2e_fail "man ${page##*/}: $warnings"
done
e2e_expect_equal "copyright file's license" "License: Expat" \
    "$(grep '^License:' "$root/$doc/copyright")"

# --- lintian: no error; its warnings are listed for the record.
lintian_out=$(lintian --fail-on error --tag-display-limit 0 "$DEB" 2>&1) \
    || e2e_fail "lintian reports errors:
$lintian_out"
lintian_out=$(grep -v 'root privileges' <<<"$lintian_out")
[ -z "$lintian_out" ] || printf 'lintian (no error):\n%s\n' "$lintian_out"

# --- The installed console in a program folder its user cannot write to.
source "$(dirname "${BASH_SOURCE[0]}")/../support/as-operator.sh" || e2e_fail "no operator to run as"
runner=("${AS_OPERATOR[@]}")

e2e_start_display
home="$E2E_WORK/home"
mkdir -p "$home"
export HOME="$home"
# Left to be made by the console, with every folder above it.
export XDG_DATA_HOME="$home/.local/share"
list_file="$XDG_DATA_HOME/VantorMsgBoard/VantorMsgBoard-MsgList.txt"
if [ ${#runner[@]} -gt 0 ]; then
    chmod 755 "$E2E_WORK"
    chown -R vmbtest: "$home" "$E2E_CONFIG" "$E2E_WORK/runtime"
fi
chmod 555 "$root/usr/bin"
"${runner[@]}" test -w "$root/usr/bin" && e2e_fail "the program folder is writable for the console's user"

# The sign from the package too, as the same user, so that the console may
# open its pseudo-terminal.
SIGN="$E2E_WORK/sign"
printf '#!/bin/sh\nexec %s %q "$@"\n' "${runner[*]}" "$root/usr/bin/VantorVirtualSign" >"$SIGN"
chmod 755 "$SIGN"

start_installed_console() {
    E2E_CONSOLE_RUN=$((E2E_CONSOLE_RUN + 1))
    "${runner[@]}" "$root/usr/bin/VantorMsgBoard" "$@" \
        >"$E2E_WORK/console-$E2E_CONSOLE_RUN.log" 2>&1 &
    E2E_CONSOLE_PID=$!
    E2E_PIDS+=("$E2E_CONSOLE_PID")
}

# send_and_exit RUN MESSAGE: one session that sends MESSAGE and exits.
send_and_exit() {
    start_installed_console COM3
    e2e_main_window
    e2e_replace_text "$2"
    e2e_key Return
    e2e_wait_sign_lines "$1"
    e2e_sign_lines | sed -n "$1p" | grep -qF "message=\"$2\"" \
        || e2e_fail "the sign decoded [$(e2e_sign_lines | sed -n "$1p")], not the message $2"
    e2e_key Escape
    e2e_expect_clean_exit
}

e2e_start_sign COM3
before=$(ls -A "$root/usr/bin")
send_and_exit 1 'FIRST RUN'
e2e_expect_file_bytes "history in the user's data folder" "$list_file" $'FIRST RUN\r\n'
e2e_expect_equal "program folder after the run" "$before" "$(ls -A "$root/usr/bin")"
[ -z "$(grep -v '^$' "$E2E_WORK"/console-1.log)" ] || e2e_fail "the console reported: $(cat "$E2E_WORK"/console-1.log)"

# The second run reads that history: the file it saves holds both messages.
send_and_exit 2 'SECOND RUN'
e2e_expect_file_bytes "history after the second run" "$list_file" $'SECOND RUN\r\nFIRST RUN\r\n'
e2e_expect_equal "program folder after the second run" "$before" "$(ls -A "$root/usr/bin")"
echo "PASS"
