#!/usr/bin/env bash
# The board: two real programs in two folders share their runs through a real broker as the
# stations "track" and "finish"; /board of the first, in headless Chromium, shows both runs,
# ticks the one still running, and after the stops shows each competitor's lap count and total
# as the station's Mix file holds them. A program without a broker says so on its board.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
track="$out/track"
finish="$out/finish"

after_test() {
    [ -z "${track_pid:-}" ] || kill -TERM "$track_pid" 2>/dev/null || true
    [ -z "${BROKER_PID:-}" ] || kill "$BROKER_PID" 2>/dev/null || true
    wait 2>/dev/null || true
}
start_mosquitto "$out"

# station <folder> <name> <live port> [broker]: the settings file of a station.
station() {
    mkdir -p "$1"
    printf '[Live]\nPort=%s\n' "$3" >"$1/kelvos.ini"
    [ -z "${4:-}" ] || printf 'Broker=127.0.0.1:%s\nStation=%s\n' "$4" "$2" >>"$1/kelvos.ini"
}
live_port=$((20000 + RANDOM % 20000))
station "$track" track "$live_port" "$BROKER_PORT"
station "$finish" finish $((live_port + 40)) "$BROKER_PORT"
# Each program has a runtime folder of its own, so --send reaches the one of its folder.
send() { (cd "$1" && XDG_RUNTIME_DIR="$1/runtime" env -u DISPLAY "$KELVOS_BIN" --send "$2") ||
    fail "--send $2 did not reach the watch in $1"; }
printed_port() { sed -n 's|^kelvos: live results at http://127.0.0.1:\([0-9]*\)/$|\1|p' "$1/stdout.log"; }
has_printed_port() { [ -n "$(printed_port "$1")" ]; }

start_kelvos "$track"
track_pid=$KELVOS_PID
start_kelvos "$finish"
two_windows() { [ "$(xdotool search --onlyvisible --class KelvoS 2>/dev/null | wc -l)" -ge 2 ]; }
eventually "the second station's window did not appear" two_windows
eventually "the first station printed no live address" has_printed_port "$track"

for command in start lap1 lap2 lap1 lap3 lap1; do send "$track" "$command"; done
for command in start lap1 lap1 lap2; do send "$finish" "$command"; done
# The board sees "finish" running, then both stopped.
/usr/bin/python3 "$(dirname "$0")/board.py" "http://127.0.0.1:$(printed_port "$track")/board" \
    "$out" running finish || fail "the board did not follow the running station"
send "$track" stop
send "$finish" stop
eventually "the first station left no Mix file" has_mix_file "$track"
eventually "the second station left no Mix file" has_mix_file "$finish"
/usr/bin/python3 "$(dirname "$0")/board.py" "http://127.0.0.1:$(printed_port "$track")/board" \
    "$out" stopped "track=$(mix_file "$track")" "finish=$(mix_file "$finish")" ||
    fail "the board's runs differ from the Mix files"

# Without a broker the board says so.
stop_kelvos
station "$finish" finish $((live_port + 40))
: >"$finish/stdout.log"
start_kelvos "$finish"
eventually "the program without a broker printed no live address" has_printed_port "$finish"
/usr/bin/python3 "$(dirname "$0")/board.py" "http://127.0.0.1:$(printed_port "$finish")/board" \
    "$out" nobroker || fail "the board without a broker does not say so"
echo "board: two stations through a real broker, their laps and totals equal to the Mix files"
