#!/usr/bin/env bash
# When its terminal or session goes away (SIGHUP), the program closes as on SIGTERM: the run
# still going is stopped and written to the automatic Mix file.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"

xdotool key --window "$KELVOS_WID" Return
expect_running "Enter on the start button did not start the watch"
kill -HUP "$KELVOS_PID"
for _ in $(seq 1 50); do
    kill -0 "$KELVOS_PID" 2>/dev/null || break
    sleep 0.1
done
! kill -0 "$KELVOS_PID" 2>/dev/null || fail "kelvos did not close on SIGHUP"
wait "$KELVOS_PID" && status=0 || status=$?
[ "$status" -eq 0 ] || fail "kelvos ended with status $status on SIGHUP, not by closing its window"
mix=$(ls "$out/work"/*M.csv 2>/dev/null | head -n 1 || true)
[ -n "$mix" ] || fail "no automatic Mix file was written on SIGHUP"
echo "hangup: closed on SIGHUP and wrote $(basename "$mix")"
