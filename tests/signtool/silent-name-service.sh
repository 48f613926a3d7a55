#!/bin/sh
# silent-name-service.sh PROGRAM: a port whose server is named, where the name
# service never answers, fails within the connect bound and says the lookup
# timed out. Runs in private mount and network namespaces (root only): the
# name service is a UDP socket on the private loopback that reads nothing.
set -eu
program=$1
if [ "$(id -u)" -ne 0 ] || ! unshare -mn true 2>/dev/null; then
    echo "needs root and namespaces; skipped"
    exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/VantorMsgBoard/ports"
ln -s tcp://sign.example:4001 "$work/config/VantorMsgBoard/ports/com9"
echo "nameserver 127.0.0.1" >"$work/resolv.conf"
printf 'hosts: files dns\n' >"$work/nsswitch.conf"
exec unshare -mn sh -eu -c '
    work=$1 program=$2
    ip link set lo up
    mount --bind "$work/resolv.conf" /etc/resolv.conf
    mount --bind "$work/nsswitch.conf" /etc/nsswitch.conf
    python3 -c "import socket, time
s = socket.socket(socket.AF_INET, socket.SOCK_DGRAM); s.bind((\"127.0.0.1\", 53)); time.sleep(60)" &
    tries=0
    until ss -Huln | grep -q "127.0.0.1:53 "; do
        tries=$((tries + 1)); [ $tries -lt 100 ] || { echo "no silent name service" >&2; exit 1; }
        sleep 0.05
    done
    started=$(date +%s%N)
    status=0
    XDG_CONFIG_HOME="$work/config" "$program" send --port COM9 HELLO 2>"$work/said" || status=$?
    took=$(( ($(date +%s%N) - started) / 1000000 ))
    kill $! 2>/dev/null || true
    cat "$work/said"
    echo "exit status $status after $took ms"
    [ "$status" -ne 0 ] || { echo "FAIL: the send reported success" >&2; exit 1; }
    [ "$took" -lt 4500 ] || { echo "FAIL: the lookup held the start $took ms, past the 3 s bound" >&2; exit 1; }
    grep -q "could not be looked up in time" "$work/said" || { echo "FAIL: not reported as a lookup timeout" >&2; exit 1; }
' sh "$work" "$program"
