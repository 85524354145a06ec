#!/bin/sh
# Runs a command against a private Xvfb server and returns the command's exit code.
# Usage: scripts/with-xvfb.sh <command> [args...]
# XVFB_SCREEN gives the screen as WIDTHxHEIGHTxDEPTH (1280x1024x24 unless given).
# The server takes a free display number itself (-displayfd), so parallel runs do not
# collide; it listens on no TCP port and is stopped when the command ends.
set -u

if [ "$#" -eq 0 ]; then
    echo "usage: $0 <command> [args...]" >&2
    exit 2
fi

workdir=$(mktemp -d "${TMPDIR:-/tmp}/with-xvfb.XXXXXX") || exit 1
xvfb_pid=""

cleanup() {
    if [ -n "$xvfb_pid" ]; then
        kill "$xvfb_pid" 2>/dev/null
        wait "$xvfb_pid" 2>/dev/null
    fi
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

Xvfb -displayfd 3 -nolisten tcp -screen 0 "${XVFB_SCREEN:-1280x1024x24}" 3>"$workdir/display" 2>"$workdir/xvfb.log" &
xvfb_pid=$!

# Wait (at most about 10 s) until the server has named its display and answers requests.
tries=0
until [ -s "$workdir/display" ] && xdpyinfo -display ":$(cat "$workdir/display")" >/dev/null 2>&1; do
    tries=$((tries + 1))
    if [ "$tries" -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
        echo "$0: Xvfb did not start" >&2
        cat "$workdir/xvfb.log" >&2
        exit 1
    fi
    sleep 0.1
done

DISPLAY=":$(cat "$workdir/display")"
export DISPLAY
"$@"
exit $?
