#!/usr/bin/env bash
# A port that cannot be used: an argument that names no port, a port whose
# link leads nowhere, a port with neither link nor device, and a port that
# another console holds. Each is reported in a message box before the main
# window shows; once it is closed the console works on without a port, saves
# what changed and exits cleanly.
#
#   port-failure.sh CONSOLE SIGN
CONSOLE=$1
SIGN=$2
source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh"

# expect_port_failure ARGUMENT: starts the console with ARGUMENT and waits
# through its message box to the main window.
expect_port_failure() {
    e2e_start_console "$1"
    e2e_message_box
    [ -z "$(e2e_find_main_window)" ] \
        || e2e_fail "$1: the main window shows while the port's message box is open"
    e2e_close_message_box
    e2e_main_window
}

e2e_start_display

# The history file as an editor might leave it: a blank line and a repeated
# entry, which a rewrite would drop. Only a changed history is written back.
list=$'B\r\n\r\nA\r\nB\r\n'
printf '%s' "$list" >"$E2E_LIST"

expect_port_failure LPT1
# Leaving the empty message field changes no history.
e2e_key Tab
e2e_replace_text 42
e2e_key Escape
e2e_expect_clean_exit
e2e_expect_settings 'BoardNumText=42'
e2e_expect_file_bytes "message list file after LPT1" "$E2E_LIST" "$list"

mkdir -p "$E2E_CONFIG/VantorMsgBoard/ports"
ln -s "$E2E_WORK/no-such-device" "$E2E_CONFIG/VantorMsgBoard/ports/com9"
expect_port_failure COM9
# The board number and brightness stand as restored; Down picks "Right Justify".
e2e_key Tab Tab Tab Down
e2e_key Escape
e2e_expect_clean_exit
e2e_expect_settings 'BoardNumText=42
PresentIndex=1'
e2e_expect_file_bytes "message list file after COM9" "$E2E_LIST" "$list"

port=2
while [ -e "/dev/ttyS$((port - 1))" ]; do
    port=$((port + 1))
done
expect_port_failure "COM$port"
e2e_key Escape
e2e_expect_clean_exit
e2e_expect_settings 'BoardNumText=42
PresentIndex=1'
e2e_expect_file_bytes "message list file after COM$port" "$E2E_LIST" "$list"

# The console that holds the port keeps it: the second is refused, closed
# through the window manager (as with the close box), and the first still
# sends the fields restored above, with the empty message.
e2e_start_sign COM5
e2e_start_console COM5
e2e_main_window
holder_pid=$E2E_CONSOLE_PID
holder_window=$E2E_WINDOW
expect_port_failure COM5
e2e_key alt+F4
e2e_expect_clean_exit
E2E_CONSOLE_PID=$holder_pid
e2e_activate "$holder_window"
e2e_key Return
e2e_expect_sign_line 1 "$(e2e_expected_line 42 1 99 '' $'\r42C1\r42B99\r42A\r42D')"
e2e_key Escape
e2e_expect_clean_exit
e2e_expect_settings 'BoardNumText=42
PresentIndex=1'
e2e_expect_file_bytes "message list file after COM5" "$E2E_LIST" "$list"
echo "PASS"
