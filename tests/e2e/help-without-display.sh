#!/usr/bin/env bash
# --help and --version answer on standard output with no display at all; a
# program started without one says so in one line and fails, instead of
# aborting in the toolkit.
#
#   help-without-display.sh CONSOLE SIGN
set -u
CONSOLE=$1
SIGN=$2
failures=0
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# program, arguments, expected status (or "nonzero"), text stdout must hold,
# text stdout must not hold, number of lines on stderr
check() {
    local program=$1 arguments=$2 status=$3 holds=$4 lacks=$5 errorLines=$6
    local got
    # shellcheck disable=SC2086
    env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM XDG_CONFIG_HOME="$scratch" \
        "$program" $arguments >"$scratch/out" 2>"$scratch/err" </dev/null
    got=$?
    local name
    name="$(basename "$program") $arguments"
    if [ "$status" = nonzero ]; then
        [ "$got" -ne 0 ] && [ "$got" -lt 128 ] || fail "$name: status $got, expected a failure"
    else
        [ "$got" -eq "$status" ] || fail "$name: status $got, expected $status"
    fi
    [ -z "$holds" ] || grep -qF -- "$holds" "$scratch/out" || fail "$name: stdout lacks '$holds'"
    [ -z "$lacks" ] || ! grep -qF -- "$lacks" "$scratch/out" || fail "$name: stdout has '$lacks'"
    [ "$(wc -l <"$scratch/err")" -eq "$errorLines" ] || fail "$name: stderr: $(cat "$scratch/err")"
}

check "$CONSOLE" --help 0 "Usage: VantorMsgBoard [COM<n>]" "" 0
check "$CONSOLE" -h 0 "rfc2217://" "" 0
check "$CONSOLE" --version 0 "VantorMsgBoard 1.0.0" "" 0
check "$CONSOLE" COM3 nonzero "" "" 1
check "$CONSOLE" "" nonzero "" "" 1
check "$SIGN" --help 0 "--print" "--help-all" 0
check "$SIGN" --version 0 "VantorVirtualSign 1.0.0" "" 0
check "$SIGN" COM4 nonzero "" "" 1
grep -qF "no display" "$scratch/err" || fail "the sign's message does not say why: $(cat "$scratch/err")"

[ "$failures" -eq 0 ] || exit 1
echo "PASS"
