#!/bin/sh
# no-widgets.sh PROGRAM: fails when PROGRAM links a window library (Qt Widgets
# or Qt Gui); the command-line program must start without a display.
set -eu
program=$1
libraries=$(ldd "$program") || { echo "ldd failed on $program" >&2; exit 1; }
if printf '%s\n' "$libraries" | grep -E 'libQt6(Widgets|Gui)\.so'; then
    echo "$program links a window library (above)" >&2
    exit 1
fi
printf '%s\n' "$libraries" | grep -q 'libQt6Core\.so' || { echo "$program: no Qt Core found by ldd" >&2; exit 1; }
echo "$program links no window library"
