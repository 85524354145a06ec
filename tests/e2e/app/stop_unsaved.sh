#!/usr/bin/env bash
# A run is finished only once its automatic Mix file is on disk. With the disk full, a stop
# followed by a kill -9, a close on SIGTERM and a restore all leave the run unfinished in the
# journal (the close says so on the error output); the next start with room on the disk
# restores the run and writes its file.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
journal="$work/kelvos-run.journal"
mkdir -p "$work"

# A full disk: as root a small file system of its own, filled to its last block (the journal's
# last block keeps room for its next lines); otherwise a folder that takes no new file.
size_kb=$(($(stat -c %s "$KELVOS_BIN") / 1024 + 4096))
if [ "$(id -u)" = 0 ] && mount -t tmpfs -o "size=${size_kb}k" tmpfs "$work" 2>/dev/null; then
    disk_full() { dd if=/dev/zero of="$work/filler" bs=4096 2>/dev/null || true; }
    disk_fine() { rm -f "$work/filler"; }
    cleanup() { stop_kelvos; umount "$work"; }
else
    disk_full() { chmod a-w "$work"; }
    disk_fine() { chmod u+w "$work"; }
    cleanup() { stop_kelvos; chmod u+w "$work"; }
fi
start() {
    start_kelvos "$work"
    trap cleanup EXIT
}
last_entry() { tail -n 1 "$journal" | cut -f 1; }
last_entry_is() { [ "$(last_entry)" = "$1" ]; }
mix_files() { ls "$work"/*M.csv "$work"/*M-*.csv 2>/dev/null || true; }
mix_laps() { tr -d '\r' <"$(mix_files | head -n 1)" | grep -c .; }
has_mix_file() { [ -n "$(mix_files)" ]; }
stop_count() { grep -c '^stop' "$journal"; }
stop_count_is() { [ "$(stop_count)" = "$1" ]; }
ended() { ! kill -0 "$KELVOS_PID" 2>/dev/null; }

# 1. The stop key on a full disk, then the plug pulled: the stop is journalled, the file is not
# written, and the run is not finished.
start
xdotool mousemove --window "$KELVOS_WID" 396 15 click 1 # "T": the lap count in the title
xdotool key Up
expect_running "Up did not start the watch"
for _ in 1 2 3; do xdotool key Return; done # LAP 1 has the focus
eventually "competitor 1 does not have three laps" lap_count_is 3
disk_full
xdotool key Down
eventually "the stop was not journalled" last_entry_is stop
kill -KILL "$KELVOS_PID"
wait "$KELVOS_PID" 2>/dev/null || true
[ -z "$(mix_files)" ] || fail "a Mix file was written on a full disk: $(mix_files)"

# 2. Room again: the next start restores the run, writes its file and finishes the run.
disk_fine
start
eventually "the restart did not write the unfinished run's Mix file" has_mix_file
[ "$(mix_laps)" = 3 ] || fail "not the three laps: $(cat "$(mix_files)")"
eventually "the restored run was not finished in the journal" last_entry_is saved

# 3. The run goes on after a restart; SIGTERM on a full disk cannot write the file: the
# program still closes, says so, and the run stays unfinished.
"$work/kelvos" --send restart || fail "the restored run could not be restarted"
"$work/kelvos" --send lap1 || fail "no lap after the restart"
eventually "the lap after the restart was not journalled" last_entry_is lap
disk_full
kill -TERM "$KELVOS_PID"
eventually "kelvos did not close on SIGTERM" ended
wait "$KELVOS_PID" && status=0 || status=$?
[ "$status" -eq 0 ] || fail "kelvos ended with status $status on SIGTERM"
grep -q "stays in the run journal" "$work/stdout.log" ||
    fail "the failed save at close was not told: $(cat "$work/stdout.log")"
last_entry_is stop || fail "the run was finished without its file: $(tail -n 2 "$journal")"

# 4. A restore on a full disk cannot write the file either: the run stays unfinished.
stops=$(stop_count)
start
eventually "the restore did not bring the run back" total_differs_from "00:00:00:000"
expect_stopped "the restored run is not stopped"
stop_kelvos
stop_count_is "$stops" || fail "the restore recorded the run's stop again"
last_entry_is stop || fail "a restore without its file finished the run"

# 5. Room again: the run comes back with all four laps.
disk_fine
rm -f "$(mix_files)"
start
eventually "the run was not restored with room on the disk" has_mix_file
[ "$(mix_laps)" = 4 ] || fail "not the four laps: $(cat "$(mix_files)")"
eventually "the restored run was not finished in the journal" last_entry_is saved
echo "stop_unsaved: the run came back with $(mix_laps) laps after each failed save"
