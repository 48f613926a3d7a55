#!/usr/bin/env bash
# Runs a test program on a private X server with a window manager, where a
# shown window is mapped and exposed only some time later, as on a desktop
# (the offscreen platform exposes at once). Skips where no X server can be
# started.
#
#   in-x11-session.sh PROGRAM [ARGUMENTS...]
source "$(dirname "${BASH_SOURCE[0]}")/e2e-lib.sh"

e2e_start_display
"$@"
