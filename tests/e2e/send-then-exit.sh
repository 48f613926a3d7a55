#!/usr/bin/env bash
# Send followed at once by Escape, in one burst of key strokes: the console
# ends while its string may still be on the way, and every byte must arrive.
# Long messages make a lost tail likely to show. The messages come from the
# settings file, as a restored message would.
#
#   send-then-exit.sh CONSOLE SIGN
CONSOLE=$1
SIGN=$2
source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh"

e2e_start_display
e2e_start_sign COM3

# e2e_message LENGTH: LENGTH characters of a text with no character that the
# settings file would quote or escape, and no space at either end.
e2e_message() {
    local text=
    while [ ${#text} -lt "$1" ]; do
        text+="LINE ${#text} OF THE LONG MESSAGE "
    done
    text=${text:0:$1}
    printf '%s' "${text% }X"
}

run=0
for length in 300 4000 20000; do
    run=$((run + 1))
    message=$(e2e_message "$length")
    board=$((run + 20))
    cat >"$E2E_SETTINGS" <<SETTINGS
[Settings]
BoardNumText=$board
BrightText=4$run
CurMsgText=$message
PresentIndex=$((run + 2))
SETTINGS
    e2e_start_console COM3
    e2e_main_window
    xdotool key --delay 0 Return Escape
    e2e_expect_clean_exit
    e2e_expect_sign_line "$run" "$(e2e_expected_line "$board" $((run + 2)) "4$run" "$message" \
        $'\r'"${board}C$((run + 2))"$'\r'"${board}B4$run"$'\r'"${board}A$message"$'\r'"${board}D")"
    e2e_expect_file_bytes "message list file after the send of $length characters" \
        "$E2E_LIST" "$message"$'\r\n'
    rm -f "$E2E_LIST"
done
echo "PASS"
