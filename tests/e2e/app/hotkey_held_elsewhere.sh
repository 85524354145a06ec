#!/usr/bin/env bash
# Another program holds the Up arrow before KelvoS starts: the start hotkey cannot be had, but
# the program runs and the start button still starts the watch. Once the other program lets
# go, KelvoS takes the key on its next try, and Up works.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
"$HOLDKEY_BIN" 111 >"$out/holdkey.log" 2>&1 & # 111: the Up arrow
holder=$!
holding() { grep -q held "$out/holdkey.log"; }
for _ in $(seq 1 50); do holding && break; sleep 0.1; done
holding || fail "the other program could not hold Up: $(cat "$out/holdkey.log")"
start_kelvos "$out/work"
trap 'kill $holder 2>/dev/null || true; stop_kelvos' EXIT

xdotool key Up
sleep 0.5 # time for a press to arrive, had it reached KelvoS
expect_stopped "Up reached KelvoS although another program holds it"
xdotool mousemove --window "$KELVOS_WID" 37 276 click 1 # the start button
expect_running "the start button did not start the watch"
kill -0 "$KELVOS_PID" || fail "KelvoS ended"
xdotool mousemove --window "$KELVOS_WID" 97 276 click 1 # the stop button
expect_stopped "the stop button did not stop the watch"

kill "$holder"
wait "$holder" 2>/dev/null || true
stopped_at=$(title_total)
for _ in $(seq 1 20); do # KelvoS asks again every few seconds
    xdotool key Up
    sleep 0.3
    total_differs_from "$stopped_at" && break
done
total_differs_from "$stopped_at" || fail "Up does not reach KelvoS after the other program let go"
echo "hotkey_held_elsewhere: Up refused, start button works, Up taken once free: '$(window_title)'"
