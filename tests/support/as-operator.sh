# Runs programs as an operator, not as root: root may write to a folder whose
# permissions say read-only, an operator may not. Sourced; sets AS_OPERATOR
# to the command prefix: empty for a user who is not root; for root, a switch
# to the user vmbtest, made here when missing. Prints why and returns 1 when
# that cannot be done.
AS_OPERATOR=()
if [ "$(id -u)" -eq 0 ]; then
    if ! id vmbtest >/dev/null 2>&1; then
        useradd --system --no-create-home --home-dir /nonexistent --shell /usr/sbin/nologin vmbtest \
            || { echo "cannot add the user vmbtest" >&2; return 1; }
    fi
    AS_OPERATOR=(setpriv --reuid=vmbtest --regid=vmbtest --clear-groups --)
fi
