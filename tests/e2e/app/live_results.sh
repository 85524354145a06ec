#!/usr/bin/env bash
# The live results of the real program: 200 pages follow a run of 100 laps pressed from another
# process, one of them leaving and coming back; hostile requests and 1000 idle connections
# arrive meanwhile and are refused or timed out, and the run goes on unharmed. What the pages
# were sent matches the Mix file the stop writes (tools/live_check.py).
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
mkdir -p "$work"

# A port of the test's own; the program takes the next free one when it is taken.
printf '[Live]\nPort=%s\n' $((20000 + RANDOM % 20000)) >"$work/kelvos.ini"
start_kelvos "$work"
live_port() { sed -n 's|^kelvos: live results at http://127.0.0.1:\([0-9]*\)/$|\1|p' "$work/stdout.log"; }
has_live_port() { [ -n "$(live_port)" ]; }
eventually "the live results address was not printed" has_live_port

/usr/bin/python3 "$(dirname "$0")/../tools/live_check.py" "$(live_port)" "$KELVOS_BIN" "$out" "$work" ||
    fail "the live results did not follow the run"
