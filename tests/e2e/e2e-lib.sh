# Drives the real programs as an operator would: a private X server with a
# window manager, the virtual sign in --print mode as the far end of the line,
# and the console copied into a program folder of its own (its message list
# file lands there), all with a temporary config home. Key strokes go in
# through xdotool. Sourced by the end-to-end tests and by
# scripts/measure-send-latency; the caller sets CONSOLE and SIGN to the two
# programs first (in-x11-session.sh needs neither).
#
# Every wait polls with a deadline; a helper that fails ends the run with a
# message and the tail of every log. Everything started here is stopped when
# the sourcing script exits.

set -uo pipefail

# CTest's SKIP_RETURN_CODE for the end-to-end tests.
E2E_SKIP=77

E2E_WORK=$(mktemp -d "${TMPDIR:-/tmp}/vmb-e2e.XXXXXX")
E2E_PROGRAM="$E2E_WORK/program"
E2E_CONFIG="$E2E_WORK/config"
E2E_SETTINGS="$E2E_CONFIG/VantorMsgBoard.conf"
E2E_LIST="$E2E_PROGRAM/VantorMsgBoard-MsgList.txt"
E2E_PIDS=()
E2E_CONSOLE_PID=
E2E_CONSOLE_RUN=0
E2E_WINDOW=
E2E_SIGN_PID=
E2E_SIGN_OUT=

E2E_TITLE_MAIN='Vantor Message Board'
E2E_TITLE_BOX='VantorMsgBoard'

e2e_cleanup() {
    local pid
    # The programs first, so that they go before their display does.
    for pid in "${E2E_PIDS[@]}"; do
        kill -TERM "$pid" 2>/dev/null
    done
    for pid in "${E2E_PIDS[@]}"; do
        e2e_reap "$pid" 3 || kill -KILL "$pid" 2>/dev/null
    done
    wait 2>/dev/null
    if [ -n "${E2E_KEEP:-}" ]; then
        echo "Work folder kept: $E2E_WORK" >&2
    else
        rm -rf "$E2E_WORK"
    fi
}
trap e2e_cleanup EXIT
trap 'exit 130' INT TERM HUP

e2e_skip() {
    echo "SKIP: $*"
    exit "$E2E_SKIP"
}

e2e_fail() {
    local log
    echo "FAIL: $*" >&2
    for log in "$E2E_WORK"/*.log "$E2E_WORK"/*.out; do
        [ -s "$log" ] || continue
        echo "--- ${log##*/} (last lines)" >&2
        tail -n 15 "$log" >&2
    done
    exit 1
}

# e2e_running PID: true while the process lives (a zombie counts as gone).
e2e_running() {
    local state
    state=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    [[ $state != Z* ]]
}

# e2e_reap PID SECONDS: waits for the process to end; false if it is still
# running after SECONDS.
e2e_reap() {
    local pid=$1 tenths=$(($2 * 10))
    while e2e_running "$pid"; do
        ((tenths-- > 0)) || return 1
        sleep 0.1
    done
}

# e2e_wait_for SECONDS WHAT COMMAND...: runs COMMAND every 50 ms until it
# succeeds; fails the run naming WHAT once SECONDS have passed.
e2e_wait_for() {
    local seconds=$1 what=$2
    shift 2
    local deadline=$((${EPOCHREALTIME//[!0-9]/} + seconds * 1000000))
    until "$@"; do
        ((${EPOCHREALTIME//[!0-9]/} < deadline)) || e2e_fail "no $what within ${seconds} s"
        sleep 0.05
    done
}

e2e_need_tools() {
    local tool missing=()
    for tool in Xvfb openbox xdotool xprop xwininfo; do
        command -v "$tool" >/dev/null || missing+=("$tool")
    done
    [ ${#missing[@]} -eq 0 ] || e2e_skip "not installed: ${missing[*]} (scripts/test installs them)"
}

# Starts the X server on a display number that it picks itself and the window
# manager, then sets the environment every program started later runs in.
# Skips the test when no X server can be started here.
e2e_start_display() {
    e2e_need_tools
    local displayfile="$E2E_WORK/display"
    : >"$displayfile"
    Xvfb -displayfd 9 -screen 0 1280x800x24 -nolisten tcp 9>"$displayfile" \
        >"$E2E_WORK/xvfb.log" 2>&1 &
    local xvfb=$!
    E2E_PIDS+=("$xvfb")
    # Slow on a loaded machine: it compiles its keymap first.
    local deadline=$((${EPOCHREALTIME//[!0-9]/} + 20000000))
    until grep -q '^[0-9]' "$displayfile"; do
        e2e_running "$xvfb" \
            || e2e_skip "no X server could be started: $(tail -n 3 "$E2E_WORK/xvfb.log" | tr '\n' ' ')"
        ((${EPOCHREALTIME//[!0-9]/} < deadline)) \
            || e2e_skip "the X server was not ready within 20 s: $(tail -n 3 "$E2E_WORK/xvfb.log" | tr '\n' ' ')"
        sleep 0.05
    done
    export DISPLAY=":$(head -n 1 "$displayfile")"

    mkdir -p "$E2E_CONFIG" "$E2E_PROGRAM" "$E2E_WORK/runtime"
    chmod 700 "$E2E_WORK/runtime"
    export XDG_CONFIG_HOME="$E2E_CONFIG"
    export XDG_RUNTIME_DIR="$E2E_WORK/runtime"
    export QT_QPA_PLATFORM=xcb
    unset WAYLAND_DISPLAY SESSION_MANAGER QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS

    # The window manager gives the focus to the window that asks for it, as
    # a desktop does; without one, activating a window means nothing.
    openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_PIDS+=("$!")
    deadline=$((${EPOCHREALTIME//[!0-9]/} + 20000000))
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        ((${EPOCHREALTIME//[!0-9]/} < deadline)) \
            || e2e_skip "the window manager was not running within 20 s: $(tail -n 3 "$E2E_WORK/openbox.log" | tr '\n' ' ')"
        sleep 0.05
    done
    if [ -n "${CONSOLE:-}" ]; then
        cp "$CONSOLE" "$E2E_PROGRAM/VantorMsgBoard" || e2e_fail "cannot copy $CONSOLE"
    fi
}

# e2e_start_sign COM<n>: the virtual sign in --print mode on that port; waits
# for its first line, which says that the port link is in place.
e2e_start_sign() {
    local port=$1
    E2E_SIGN_OUT="$E2E_WORK/sign-$port.out"
    "$SIGN" --print "$port" >"$E2E_SIGN_OUT" 2>"$E2E_WORK/sign-$port.log" &
    E2E_SIGN_PID=$!
    E2E_PIDS+=("$E2E_SIGN_PID")
    e2e_wait_for 10 "start line from the virtual sign on $port" \
        e2e_sign_started "$port"
}

e2e_sign_started() {
    e2e_running "$E2E_SIGN_PID" || e2e_fail "the virtual sign ended at start-up"
    grep -q "^port=$1 " "$E2E_SIGN_OUT"
}

# The decoded lines the sign printed so far (its start line left out).
e2e_sign_lines() {
    tail -n +2 "$E2E_SIGN_OUT"
}

e2e_sign_line_count() {
    e2e_sign_lines | wc -l
}

e2e_has_sign_lines() {
    [ "$(e2e_sign_line_count)" -ge "$1" ]
}

# e2e_wait_sign_lines COUNT: waits until the sign has decoded COUNT strings
# (errors included), then a moment more so that a surplus would show.
e2e_wait_sign_lines() {
    e2e_wait_for 10 "$1 decoded line(s) from the virtual sign" e2e_has_sign_lines "$1"
    sleep 0.2
}

# e2e_expect_sign_line NUMBER EXPECTED: the sign's decoded line NUMBER (from
# 1) reads EXPECTED, and no line follows it.
e2e_expect_sign_line() {
    e2e_wait_sign_lines "$1"
    e2e_expect_equal "decoded line $1 from the virtual sign" "$2" "$(e2e_sign_lines | sed -n "$1p")"
    e2e_expect_equal "number of strings the virtual sign decoded" "$1" "$(e2e_sign_line_count)"
}

# e2e_hex BYTES: the bytes as upper-case hex pairs, as the sign writes them.
e2e_hex() {
    printf '%s' "$1" | od -An -v -tx1 | tr -s ' \n' ' ' | sed 's/^ //; s/ $//' | tr a-f A-F
}

# e2e_expected_line BOARD PRESENTATION BRIGHTNESS MESSAGE BYTES: the line the
# sign prints for a string of BYTES that decodes to those fields (MESSAGE in
# plain ASCII, which the sign does not escape).
e2e_expected_line() {
    printf 'board=%s presentation=%s brightness=%s message="%s" hex=%s' \
        "$1" "$2" "$3" "$4" "$(e2e_hex "$5")"
}

# e2e_expect_equal WHAT EXPECTED ACTUAL
e2e_expect_equal() {
    [ "$2" == "$3" ] || e2e_fail "$1: expected
  [$2]
but got
  [$3]"
}

# e2e_start_console ARGUMENTS...: the copied console, started from its program
# folder.
e2e_start_console() {
    E2E_CONSOLE_RUN=$((E2E_CONSOLE_RUN + 1))
    (cd "$E2E_PROGRAM" && exec ./VantorMsgBoard "$@") \
        >"$E2E_WORK/console-$E2E_CONSOLE_RUN.log" 2>&1 &
    E2E_CONSOLE_PID=$!
    E2E_PIDS+=("$E2E_CONSOLE_PID")
}

# e2e_console_windows TITLE: the console's visible windows with that exact
# title.
e2e_console_windows() {
    xdotool search --all --onlyvisible --pid "$E2E_CONSOLE_PID" --name "^$1\$" 2>/dev/null
}

e2e_window_type() {
    xprop -id "$1" _NET_WM_WINDOW_TYPE 2>/dev/null
}

# The console's visible main window, or nothing.
e2e_find_main_window() {
    local window
    for window in $(e2e_console_windows "$E2E_TITLE_MAIN"); do
        e2e_window_type "$window" | grep -q '_NET_WM_WINDOW_TYPE_NORMAL' && echo "$window"
    done
}

# The console's visible message box, or nothing. The splash carries the same
# title, so the window type tells them apart.
e2e_find_message_box() {
    local window
    for window in $(e2e_console_windows "$E2E_TITLE_BOX"); do
        e2e_window_type "$window" | grep -q '= _NET_WM_WINDOW_TYPE_DIALOG' && echo "$window"
    done
}

e2e_console_alive() {
    e2e_running "$E2E_CONSOLE_PID" \
        || e2e_fail "the console ended unexpectedly (run $E2E_CONSOLE_RUN)"
}

e2e_main_window_shown() {
    e2e_console_alive
    [ -n "$(e2e_find_main_window)" ]
}

e2e_message_box_shown() {
    e2e_console_alive
    [ -n "$(e2e_find_message_box)" ]
}

e2e_is_active() {
    [ "$(xdotool getactivewindow 2>/dev/null)" = "$1" ]
}

# e2e_activate WINDOW: gives the window the focus and waits until it has it.
e2e_activate() {
    xdotool windowactivate --sync "$1" >/dev/null 2>&1
    e2e_wait_for 5 "focus on window $1" e2e_is_active "$1"
}

# Waits for the main window (splash gone) and gives it the focus; its id is
# left in E2E_WINDOW.
e2e_main_window() {
    e2e_wait_for 15 "main window \"$E2E_TITLE_MAIN\"" e2e_main_window_shown
    E2E_WINDOW=$(e2e_find_main_window | head -n 1)
    e2e_activate "$E2E_WINDOW"
}

# Waits for a message box and gives it the focus; its id is left in
# E2E_WINDOW.
e2e_message_box() {
    e2e_wait_for 10 "message box titled \"$E2E_TITLE_BOX\"" e2e_message_box_shown
    E2E_WINDOW=$(e2e_find_message_box | head -n 1)
    e2e_activate "$E2E_WINDOW"
}

# The console's visible drop-down list of a combo box, or nothing: the one
# window of its own that it places itself, past the window manager.
e2e_find_popup() {
    local window
    for window in $(xdotool search --onlyvisible --pid "$E2E_CONSOLE_PID" 2>/dev/null); do
        xwininfo -id "$window" 2>/dev/null | grep -q 'Override Redirect State: yes' \
            && ! e2e_window_type "$window" | grep -q '_NET_WM_WINDOW_TYPE_SPLASH' \
            && echo "$window"
    done
}

e2e_popup_shown() {
    [ -n "$(e2e_find_popup)" ]
}

# Opens the drop-down list of the focused combo box from the keyboard.
e2e_open_popup() {
    e2e_key alt+Down
    e2e_wait_for 5 "drop-down list" e2e_popup_shown
}

e2e_no_message_box() {
    [ -z "$(e2e_find_message_box)" ]
}

# Closes the focused message box with Enter, which presses its OK button.
e2e_close_message_box() {
    xdotool key Return
    e2e_wait_for 5 "closing of the message box" e2e_no_message_box
}

e2e_key() {
    xdotool key --delay 20 "$@"
}

e2e_type() {
    xdotool type --delay 10 -- "$1"
}

# e2e_replace_text TEXT: selects all of the focused field and types TEXT.
e2e_replace_text() {
    e2e_key ctrl+a
    if [ -n "$1" ]; then
        e2e_type "$1"
    else
        e2e_key BackSpace
    fi
}

# e2e_window_position WINDOW: "X Y" of its client area on the screen.
e2e_window_position() {
    xdotool getwindowgeometry --shell "$1" | awk -F= '$1 == "X" {x = $2} $1 == "Y" {y = $2} END {print x, y}'
}

e2e_console_gone() {
    ! e2e_running "$E2E_CONSOLE_PID"
}

# Waits for the console to end and fails unless its exit status is 0.
e2e_expect_clean_exit() {
    e2e_wait_for 10 "end of the console (run $E2E_CONSOLE_RUN)" e2e_console_gone
    wait "$E2E_CONSOLE_PID"
    local status=$?
    [ "$status" -eq 0 ] || e2e_fail "the console exited with status $status (run $E2E_CONSOLE_RUN)"
}

# The [Settings] section of the settings file as sorted KEY=VALUE lines,
# values as written (quotes included).
e2e_settings() {
    awk '/^\[/ {inside = ($0 == "[Settings]"); next} inside && NF' "$E2E_SETTINGS" | sort
}

# e2e_setting KEY: its value as written in the file.
e2e_setting() {
    e2e_settings | sed -n "s/^$1=//p"
}

# e2e_expect_settings EXPECTED: the [Settings] section holds exactly the
# sorted KEY=VALUE lines EXPECTED besides the window position, which must be
# there as two whole numbers: a window on screen is never at the default
# corner (-500, -500), so its position is always written.
e2e_expect_settings() {
    [ -f "$E2E_SETTINGS" ] || e2e_fail "no settings file $E2E_SETTINGS"
    local key
    for key in MainLeft MainTop; do
        e2e_setting "$key" | grep -Eqx -- '-?[0-9]+' \
            || e2e_fail "settings: $key is not a whole number: [$(e2e_setting "$key")]"
    done
    e2e_expect_equal "settings other than the position" "$1" \
        "$(e2e_settings | grep -Ev '^(MainLeft|MainTop)=')"
}

# e2e_expect_file_bytes WHAT FILE BYTES: FILE holds exactly BYTES.
e2e_expect_file_bytes() {
    [ -f "$2" ] || e2e_fail "$1: no file $2"
    printf '%s' "$3" | cmp -s - "$2" || e2e_fail "$1: expected the bytes
  $(e2e_hex "$3")
but $2 holds
  $(e2e_hex "$(cat "$2")")"
}
