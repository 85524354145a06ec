#!/usr/bin/env bash
# Every stopped run goes into the history database with the rows of its Mix file, and the
# menu's "History…" shows the history window; a run restored after the plug was pulled is kept
# once; a damaged history costs neither a press nor a Mix file, and the operator is told once.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
db="$work/data/kelvos/history.sqlite" # start_kelvos gives the program this data folder

runs() { sqlite3 "$db" "SELECT COUNT(*) FROM runs" 2>/dev/null || echo 0; }
runs_are() { [ "$(runs)" = "$1" ]; }
mix_count() { find "$work" -maxdepth 1 -name '*M*.csv' | wc -l; }
mix_count_is() { [ "$(mix_count)" = "$1" ]; }
newest_mix() { ls -t "$work"/*M*.csv | head -n 1; }
# The newest run's laps as the history keeps them, one comma-separated row each.
newest_history_rows() {
    sqlite3 -separator , "$db" "SELECT lap_no, name, total, lap_time, difference, realtime,
        lap_ms_text, lap_speed, average_ms, average_speed FROM laps
        WHERE run_id = (SELECT id FROM runs ORDER BY stopped DESC LIMIT 1) ORDER BY seq"
}
problem_windows() { { xdotool search --onlyvisible --name "^KelvoS$" 2>/dev/null || true; } | wc -l; }
problem_told() { [ "$(problem_windows)" -ge 1 ]; }
title_counts_laps() { [ -n "$(lap_count)" ]; }
# start: the program with the lap count in its title ("T").
start() {
    start_kelvos "$work"
    if [ -z "$(lap_count)" ]; then
        xdotool mousemove --window "$KELVOS_WID" 396 15 click 1
        eventually "the title shows no lap count" title_counts_laps
    fi
}
run_laps() { # <laps>: a run of that many laps of competitor 1, started and stopped by hotkey
    local mixes
    mixes=$(mix_count)
    xdotool key Up
    expect_running "Up did not start the watch"
    for _ in $(seq 1 "$1"); do xdotool key Return; done
    eventually "competitor 1 does not have $1 laps" lap_count_is "$1"
    xdotool key Down
    eventually "the stop wrote no Mix file" mix_count_is $((mixes + 1))
}

# 1. A run of three laps: kept with the rows of its Mix file.
start
run_laps 3
eventually "the run did not reach the history" runs_are 1
[ "$(newest_history_rows)" = "$(tr -d '\r' <"$(newest_mix)")" ] ||
    fail "the history's laps differ from the Mix file: $(newest_history_rows)"

# The menu's "History…" (the eighth item under "S D") opens the history window on that run.
history_window() { xdotool search --onlyvisible --name "^History$" 2>/dev/null | head -n 1; }
history_shown() { [ -n "$(history_window)" ]; }
xdotool mousemove --window "$KELVOS_WID" 122 15 click 1
xdotool key Down Down Down Down Down Down Down Down Return
eventually "History… opened no history window" history_shown
xdotool windowclose "$(history_window)"
xdotool windowfocus "$KELVOS_WID"
eventually "the window did not get the keyboard back" window_has_focus

# 2. The plug pulled in a run of two laps: its restore keeps it once, a further start not again.
xdotool key Up
expect_running "Up did not start the second run"
xdotool key Return Return
eventually "competitor 1 does not have two laps" lap_count_is 2
kill -KILL "$KELVOS_PID"
wait "$KELVOS_PID" 2>/dev/null || true
start_kelvos "$work"
eventually "the restored run did not reach the history" runs_are 2
[ "$(newest_history_rows)" = "$(tr -d '\r' <"$(newest_mix)")" ] ||
    fail "the restored run's laps differ from its Mix file: $(newest_history_rows)"
stop_kelvos
start
run_laps 1
eventually "the run after the restore did not reach the history" runs_are 3

# 3. A damaged history: each stop still writes its Mix file, the operator is told once.
stop_kelvos
head -c 8192 /dev/urandom >"$db"
rm -f "$db-wal" "$db-shm"
start
run_laps 2
eventually "the damaged history was not told" problem_told
run_laps 1
kill -0 "$KELVOS_PID" || fail "kelvos ended with a damaged history"
[ "$(problem_windows)" = 1 ] || fail "the damaged history was told $(problem_windows) times"
echo "history: 3 runs kept, $(mix_count) Mix files written, a damaged history told once"
