#!/usr/bin/env bash
# Two sessions: what the first leaves behind (fields, history, window
# position) comes back in the second, and an older message picked from the
# history goes out and moves to the top of the message list file.
#
#   restore.sh CONSOLE SIGN
CONSOLE=$1
SIGN=$2
source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh"

e2e_start_display
e2e_start_sign COM2

# First session: two messages to board 12, centred; the brightness emptied,
# which sends 99 and, being the default, is not stored.
e2e_start_console COM2
e2e_main_window
first_window=$E2E_WINDOW
e2e_type FIRST
e2e_key Tab
e2e_replace_text 12
e2e_key Tab
e2e_replace_text ''
e2e_key Tab Down Down
e2e_key Return
e2e_expect_sign_line 1 "$(e2e_expected_line 12 2 99 FIRST $'\r12C2\r12B99\r12AFIRST\r12D')"
e2e_key shift+Tab shift+Tab shift+Tab
e2e_replace_text SECOND
e2e_key Return
e2e_expect_sign_line 2 "$(e2e_expected_line 12 2 99 SECOND $'\r12C2\r12B99\r12ASECOND\r12D')"
first_position=$(e2e_window_position "$first_window")
e2e_key Escape
e2e_expect_clean_exit
e2e_expect_settings 'BoardNumText=12
CurMsgText=SECOND
PresentIndex=2'
e2e_expect_file_bytes "message list file after the first session" "$E2E_LIST" $'SECOND\r\nFIRST\r\n'
first_left=$(e2e_setting MainLeft)
first_top=$(e2e_setting MainTop)

# An entry with characters beyond ASCII, in the file's code page
# (Windows-1252), added at the end: the oldest entry.
printf 'Caf\xe9 \x80 5\r\n' >>"$E2E_LIST"

# Second session: Enter alone sends the restored fields.
e2e_start_console COM2
e2e_main_window
e2e_expect_equal "window position at the second start" "$first_position" \
    "$(e2e_window_position "$E2E_WINDOW")"
e2e_key Return
e2e_expect_sign_line 3 "$(e2e_expected_line 12 2 99 SECOND $'\r12C2\r12B99\r12ASECOND\r12D')"

# The history list, opened from the keyboard: its last entry is the oldest.
# It goes out in the sign's code page, Windows-1252, as it was read.
e2e_open_popup
e2e_key End Return
e2e_key Return
e2e_expect_sign_line 4 "$(e2e_expected_line 12 2 99 'Café € 5' $'\r12C2\r12B99\r12ACaf\xe9 \x80 5\r12D')"
e2e_key Escape
e2e_expect_clean_exit
e2e_expect_file_bytes "message list file after the second session" "$E2E_LIST" \
    $'Caf\xe9 \x80 5\r\nSECOND\r\nFIRST\r\n'
e2e_expect_settings 'BoardNumText=12
CurMsgText=Café € 5
PresentIndex=2'
e2e_expect_equal "MainLeft after a session that did not move the window" "$first_left" "$(e2e_setting MainLeft)"
e2e_expect_equal "MainTop after a session that did not move the window" "$first_top" "$(e2e_setting MainTop)"
echo "PASS"
