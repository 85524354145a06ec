#!/usr/bin/env bash
# Two watches in one working folder: the second, whose command socket does not find the first
# (a runtime folder of its own), says that the folder is in use and exits with status 1; the
# first one's journal is left as it was and the first watch times on.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
start_kelvos "$work"

xdotool key Up # the start hotkey
expect_running "Up did not start the watch"
xdotool key Return # LAP 1 has the focus
journal="$work/kelvos-run.journal"
journal_has_lap() { grep -q . "$journal" && [ "$(wc -l <"$journal")" -ge 3 ]; }
eventually "the lap is not in the journal" journal_has_lap
cp "$journal" "$out/journal.before"

mkdir -p -m 700 "$out/runtime2"
(cd "$work" && XDG_RUNTIME_DIR="$out/runtime2" QT_QPA_PLATFORM=xcb exec ./kelvos \
    >"$out/second.out" 2>"$out/second.err") &
second=$!
trap 'kill "$second" 2>/dev/null || true; stop_kelvos' EXIT
second_window() { xdotool search --onlyvisible --pid "$second" 2>/dev/null | head -n 1; }
has_second_window() { [ -n "$(second_window)" ]; }
eventually "the second watch showed nothing" has_second_window
grep -q "already timing in the folder" "$out/second.err" ||
    fail "the second watch did not say why: $(cat "$out/second.err")"
xdotool windowfocus "$(second_window)" key Return
status=0
wait "$second" || status=$?
[ "$status" = 1 ] || fail "the second watch exited with status $status"

cmp -s "$journal" "$out/journal.before" || fail "the second watch changed the first one's journal"
if ls "$work"/*M.csv >/dev/null 2>&1; then fail "the second watch wrote a Mix file"; fi
expect_running "the first watch stopped"
echo "one_watch_per_folder: the second watch refused the folder with status $status"
