#!/usr/bin/env bash
# Every command-line argument is the console's: an option that Qt would take
# for itself (-style, -reverse, -platform) is an argument that names no port.
# With a sign on COM1, the port an empty argument names, the console refuses
# the argument in a message box and the sign receives nothing.
#
#   arguments.sh CONSOLE SIGN
CONSOLE=$1
SIGN=$2
source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh"

e2e_start_display
e2e_start_sign COM1

for arguments in '-style fusion' '-reverse' '-platform bogus' '-geometry 10x10'; do
    # Word splitting is wanted: each word is one argument, as from a shell.
    # shellcheck disable=SC2086
    e2e_start_console $arguments
    e2e_message_box
    e2e_close_message_box
    e2e_main_window
    # Send stays disabled: Enter writes nothing to the sign.
    e2e_key Return
    e2e_key Escape
    e2e_expect_clean_exit
    sleep 0.2
    e2e_expect_equal "strings the sign received after '$arguments'" 0 "$(e2e_sign_line_count)"
done
echo "PASS"
