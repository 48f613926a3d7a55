#!/usr/bin/env bash
# One operator session: fields typed, Enter, a rejected brightness, Escape.
# Checked at the far end of the line (the virtual sign) and in the files the
# console leaves behind.
#
#   send.sh CONSOLE SIGN
CONSOLE=$1
SIGN=$2
source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh"

e2e_start_display
e2e_start_sign COM4
e2e_start_console COM4
e2e_main_window
main=$E2E_WINDOW

# The focus starts in the message field; the tab order runs message, board
# number, brightness, presentation. Spaces at the ends of the message and the
# board number are the operator's slips that Send must not pass on.
e2e_type ' OPEN NOW '
e2e_key Tab
e2e_replace_text ' 07 '
e2e_key Tab
e2e_replace_text 5
# Down stops at the last entry, "Fast crawl from Right".
e2e_key Tab Down Down Down Down Down Down
e2e_key Return
e2e_expect_sign_line 1 "$(e2e_expected_line 7 5 5 'OPEN NOW' $'\r07C5\r07B05\r07AOPEN NOW\r07D')"

# A rejected brightness is reported, then sent as typed: the last two
# characters of "0100".
e2e_key shift+Tab
e2e_replace_text 100
e2e_key Return
e2e_message_box
e2e_expect_equal "strings sent while the message box is open" 1 "$(e2e_sign_line_count)"
e2e_close_message_box
e2e_expect_sign_line 2 "$(e2e_expected_line 7 5 0 'OPEN NOW' $'\r07C5\r07B00\r07AOPEN NOW\r07D')"

# The focus is back in the brightness field.
e2e_activate "$main"
e2e_replace_text 75
e2e_key Escape
e2e_expect_clean_exit

# The board number was saved trimmed, the message as typed; the brightness
# as it stood at exit. The history holds the message once, untrimmed.
e2e_expect_settings 'BoardNumText=07
BrightText=75
CurMsgText=" OPEN NOW "
PresentIndex=5'
e2e_expect_file_bytes "message list file" "$E2E_LIST" $' OPEN NOW \r\n'
e2e_expect_equal "strings the virtual sign decoded" 2 "$(e2e_sign_line_count)"
echo "PASS"
