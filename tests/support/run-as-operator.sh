#!/usr/bin/env bash
# run-as-operator.sh PROGRAM [ARGUMENTS...]: runs PROGRAM as an operator (see
# as-operator.sh), in a temporary folder it may write to.
source "$(dirname "${BASH_SOURCE[0]}")/as-operator.sh" || exit 1
work=$(mktemp -d "${TMPDIR:-/tmp}/vmb-operator.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
chmod 755 "$work"
[ ${#AS_OPERATOR[@]} -eq 0 ] || chown vmbtest: "$work"
TMPDIR="$work" HOME="$work" "${AS_OPERATOR[@]}" "$@"
