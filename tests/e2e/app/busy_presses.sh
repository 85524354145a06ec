#!/usr/bin/env bash
# Laps keep their true intervals however busy the window is: while the program cannot run
# (stopped with SIGSTOP for two seconds), three laps are pressed 0.6 s apart; once it runs
# again they are recorded 0.6 s apart, not in the moment it handles them.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
start_kelvos "$work"

xdotool key --window "$KELVOS_WID" Return
expect_running "Enter on the start button did not start the watch"
kill -STOP "$KELVOS_PID"
for _ in 1 2 3; do
    xdotool key Return # LAP 1 has the focus
    sleep 0.6
done
sleep 0.2
kill -CONT "$KELVOS_PID"
sleep 0.5
xdotool key Down # the stop hotkey
mix_file() { ls "$work"/*M.csv 2>/dev/null | head -n 1; }
has_mix_file() { [ -n "$(mix_file)" ]; }
eventually "the stop wrote no Mix file" has_mix_file
tr -d '\r' <"$(mix_file)" >"$out/mix.txt"
[ "$(wc -l <"$out/mix.txt")" = 3 ] || fail "not three laps: $(cat "$out/mix.txt")"
# Column 7 is the lap in milliseconds: laps 2 and 3 were pressed 0.6 s after the one before.
for lap in $(sed -n '2,3p' "$out/mix.txt" | cut -d, -f7); do
    [ "$lap" -ge 500 ] && [ "$lap" -le 1500 ] || fail "a lap of ${lap} ms, pressed 600 ms apart"
done
echo "busy_presses: laps of $(cut -d, -f7 "$out/mix.txt" | tr '\n' ' ')ms recorded while busy"
