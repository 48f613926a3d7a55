#!/usr/bin/env bash
# A signal to quit (SIGTERM from a desktop logout, SIGHUP from a closed
# terminal, SIGINT from Ctrl+C) ends the console as Exit does: the message
# just typed and its new history entry are saved, and the exit status is
# that of a normal exit. Under a file size limit the save fails with "File
# too large" and says so in a box, instead of SIGXFSZ ending the process.
#
#   quit-signals.sh CONSOLE SIGN
CONSOLE=$1
SIGN=$2
source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh"

e2e_start_display
e2e_start_sign COM4

# start_console [COMMAND...]: the console on COM4, run by COMMAND (prlimit,
# say) when given. A job of a script starts with SIGINT ignored, which the
# console would keep as a nohup'd program keeps SIGHUP ignored: the three are
# handed over at their defaults, as from a terminal.
start_console() {
    E2E_CONSOLE_RUN=$((E2E_CONSOLE_RUN + 1))
    (cd "$E2E_PROGRAM" && exec env --default-signal=INT,HUP,TERM "$@" ./VantorMsgBoard COM4) \
        >"$E2E_WORK/console-$E2E_CONSOLE_RUN.log" 2>&1 &
    E2E_CONSOLE_PID=$!
    E2E_PIDS+=("$E2E_CONSOLE_PID")
}

# quit_by SIGNAL MESSAGE: types MESSAGE, leaves the field (which puts it in
# the history) and sends SIGNAL to the console.
quit_by() {
    e2e_main_window
    e2e_type "$2"
    e2e_key Tab
    kill "-$1" "$E2E_CONSOLE_PID"
}

for signal in TERM HUP INT; do
    rm -f "$E2E_SETTINGS" "$E2E_LIST"
    start_console
    quit_by "$signal" "QUIT BY $signal"
    e2e_expect_clean_exit
    e2e_expect_equal "message saved after SIG$signal" "QUIT BY $signal" "$(e2e_setting CurMsgText)"
    e2e_expect_file_bytes "history saved after SIG$signal" "$E2E_LIST" "QUIT BY $signal"$'\r\n'
done

# Both files outgrow the limit: each save reports its failure, and the exit
# goes on.
rm -f "$E2E_SETTINGS" "$E2E_LIST"
start_console prlimit --fsize=150
long=$(printf 'LONGER THAN THE LIMIT %.0s' {1..10})
quit_by TERM "$long"
box_gone() { ! e2e_find_message_box | grep -qx "$1"; }
for file in settings list; do
    e2e_message_box
    box=$E2E_WINDOW
    xdotool key Return
    e2e_wait_for 5 "closing of the $file file's box" box_gone "$box"
done
e2e_expect_clean_exit
echo "PASS"
