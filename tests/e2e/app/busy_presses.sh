#!/usr/bin/env bash
# Laps keep their true intervals however busy the window is: while the program cannot run
# (stopped with SIGSTOP), three laps are pressed about 0.6 s apart; once it runs again they are
# recorded as far apart as they were pressed, not in the moment it handles them. Each press is
# timed here from just before to just after it is sent, so the bounds hold on a loaded machine.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
start_kelvos "$work"
# "T" puts competitor 1's lap count into the title.
xdotool mousemove --window "$KELVOS_WID" 396 15 click 1
eventually "\"T\" did not change the title form" lap_count_is 0

xdotool key Up # the start hotkey; LAP 1 then has the focus
expect_running "Up did not start the watch"
now_ms() { echo $(($(date +%s%N) / 1000000)); }
sent_before=()
sent_after=()
kill -STOP "$KELVOS_PID"
for press in 0 1 2; do
    [ "$press" = 0 ] || sleep 0.6
    sent_before[press]=$(now_ms)
    xdotool key Return
    sent_after[press]=$(now_ms)
done
kill -CONT "$KELVOS_PID"
eventually "the three presses were not recorded" lap_count_is 3
xdotool key Down # the stop hotkey
eventually "the stop wrote no Mix file" has_mix_file "$work"
tr -d '\r' <"$(mix_file "$work")" >"$out/mix.txt"
[ "$(wc -l <"$out/mix.txt")" = 3 ] || fail "not three laps: $(cat "$out/mix.txt")"
# Column 7 is the lap in milliseconds. Lap k + 1 lies between the end of press k's sending and
# the start of press k + 1's, and the start of press k's and the end of press k + 1's; a few
# milliseconds are allowed for the clocks' rounding.
slack=5
for press in 1 2; do
    lap=$(sed -n "$((press + 1))p" "$out/mix.txt" | cut -d, -f7)
    least=$((sent_before[press] - sent_after[press - 1] - slack))
    most=$((sent_after[press] - sent_before[press - 1] + slack))
    [ "$lap" -ge "$least" ] && [ "$lap" -le "$most" ] ||
        fail "a lap of ${lap} ms, pressed ${least}..${most} ms after the one before"
done
echo "busy_presses: laps of $(cut -d, -f7 "$out/mix.txt" | tr '\n' ' ')ms recorded while busy"
