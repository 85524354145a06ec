#!/usr/bin/env bash
# The plug pulled in the middle of a run: KelvoS is killed outright (SIGKILL) after laps of
# competitors 1 and 2. At the next start the run comes back into the grids, is written to its
# automatic Mix file and the operator is told; no press is lost.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
start_kelvos "$work"
click() { xdotool mousemove --window "$KELVOS_WID" "$1" "$2" click 1; }
click 396 15 # "T": the lap count in the title

xdotool key Up # the start hotkey
expect_running "Up did not start the watch"
for key in Return Return 88 Return; do # LAP 1 has the focus; 88 is keypad 2 (competitor 2)
    xdotool key "$key"
    sleep 0.2
done
eventually "competitor 1 does not have three laps" lap_count_is 3
kill -KILL "$KELVOS_PID"
wait "$KELVOS_PID" 2>/dev/null || true
if ls "$work"/*M.csv >/dev/null 2>&1; then fail "a Mix file exists before the restart"; fi

start_kelvos "$work"
eventually "the restart did not write the unfinished run's Mix file" has_mix_file "$work"
mix=$(mix_file "$work")
tr -d '\r' <"$mix" >"$out/mix.txt"
[ "$(wc -l <"$out/mix.txt")" = 4 ] || fail "not the four laps: $(cat "$out/mix.txt")"
[ "$(cut -d, -f1,2 "$out/mix.txt" | tr '\n' ' ')" = "1,1 2,1 1,2 3,1 " ] ||
    fail "laps or competitors out of order: $(cat "$out/mix.txt")"
for lap in $(cut -d, -f7 "$out/mix.txt"); do # the laps in ms, pressed 0.2 s apart
    [ "$lap" -gt 0 ] || fail "a restored lap lost its time: $(cat "$out/mix.txt")"
done
eventually "the operator was not told of the restored run" \
    xdotool search --onlyvisible --name "^KelvoS$"
echo "kill_restore: $(basename "$mix") restored with $(wc -l <"$out/mix.txt") laps"
