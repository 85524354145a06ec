#!/usr/bin/env bash
# Another program holds the Up arrow before KelvoS starts: the start hotkey cannot be had, but
# the program runs and the start button still starts the watch.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
"$HOLDKEY_BIN" 111 >"$out/holdkey.log" 2>&1 & # 111: the Up arrow
holder=$!
holding() { grep -q held "$out/holdkey.log"; }
for _ in $(seq 1 50); do holding && break; sleep 0.1; done
holding || fail "the other program could not hold Up: $(cat "$out/holdkey.log")"
start_kelvos "$out/work"
trap 'kill $holder 2>/dev/null; stop_kelvos' EXIT

xdotool key Up
sleep 0.5 # time for a press to arrive, had it reached KelvoS
expect_stopped "Up reached KelvoS although another program holds it"
xdotool mousemove --window "$KELVOS_WID" 37 276 click 1 # the start button
expect_running "the start button did not start the watch"
kill -0 "$KELVOS_PID" || fail "KelvoS ended"
echo "hotkey_held_elsewhere: Up refused, start button works: '$(window_title)'"
