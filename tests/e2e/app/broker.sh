#!/usr/bin/env bash
# The run shared through an MQTT broker: laps pressed in the real program (by `kelvos --send`
# and by a command on the broker) arrive on the events topic with the totals the Mix file
# keeps, and the retained run names the station; with commands switched off a command on the
# broker takes no lap.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
mkdir -p "$work"

sub_pid=""
after_test() {
    [ -z "$sub_pid" ] || kill "$sub_pid" 2>/dev/null || true
    kill "$BROKER_PID" 2>/dev/null || true
    wait 2>/dev/null || true
}
trap after_test EXIT
start_mosquitto "$out"
port=$BROKER_PORT
broker_pid=$BROKER_PID

topic=kelvos/track
settings() {
    printf '[Live]\nBroker=127.0.0.1:%s\nStation=track\nBrokerCommands=%s\n' "$port" "$1" >"$work/kelvos.ini"
}
send() { (cd "$out" && env -u DISPLAY "$KELVOS_BIN" --send "$@"); }
pub() { mosquitto_pub -h 127.0.0.1 -p "$port" -q 1 -t "$topic/command" -m "$1"; }
# The watch's link asked for its commands (only when it takes them).
subscribed() { [ "$(grep -c "	$topic/command (QoS" "$out/mosquitto.log")" -ge "$1" ]; }
# Presses recorded in the run journal so far.
presses() { grep -c . "$work/kelvos-run.journal"; }
more_presses_than() { [ "$(presses)" -gt "$1" ]; }
events_of() { jq -c "select(.type == \"$1\")" "$out/events.jsonl"; }
count_events() { [ "$(events_of "$1" | wc -l)" -ge "$2" ]; }

mosquitto_sub -h 127.0.0.1 -p "$port" -q 1 -t "$topic/events" >"$out/events.jsonl" &
sub_pid=$!

settings 1
start_kelvos "$work"
eventually "the watch did not subscribe to its commands" subscribed 1
send start || fail "--send start failed"
expect_running
send lap1 || fail "--send lap1 failed"
before=$(presses)
pub lap1
eventually "the broker's lap1 was not taken" more_presses_than "$before"
send lap2 || fail "--send lap2 failed"
send stop || fail "--send stop failed"
eventually "the stop left no automatic Mix file" has_mix_file "$work"
eventually "not every lap arrived on the broker" count_events lap 3
eventually "the stop did not arrive on the broker" count_events stopped 1

# The laps as the broker carried them, in press order after dropping what was seen already,
# against the Mix file: lap, name and total.
jq -rs 'reduce .[] as $e ([]; if (.[-1].seq // 0) < $e.seq or .[-1].session != $e.session
                              then . + [$e] else . end)
        | .[] | select(.type == "lap") | .lap.row[0:3] | join(",")' "$out/events.jsonl" >"$out/broker-laps.txt"
tr -d '\r' <"$(mix_file "$work")" | cut -d, -f1-3 >"$out/mix-laps.txt"
diff "$out/mix-laps.txt" "$out/broker-laps.txt" >"$out/laps.diff" ||
    fail "the broker's laps differ from the Mix file: $(cat "$out/laps.diff")"
run=$(mosquitto_sub -h 127.0.0.1 -p "$port" -t "$topic/run" -C 1 -W 5) || fail "no retained run"
[ "$(jq -r .station <<<"$run")" = track ] || fail "the retained run names no station: $run"
[ "$(jq -r .state <<<"$run")" = stopped ] || fail "the retained run is not the stopped one: $run"

# Commands switched off: the broker's command is not followed.
stop_kelvos
settings 0
rm -f "$work"/*.csv
start_kelvos "$work"
send start || fail "--send start failed"
expect_running
pub lap1
send lap2 || fail "--send lap2 failed"
send stop || fail "--send stop failed"
eventually "the second stop left no automatic Mix file" has_mix_file "$work"
subscribed 2 && fail "the watch subscribed to commands it does not take"
laps=$(mix_laps "$(mix_file "$work")")
[ "$laps" = "1,2" ] || fail "a command was taken although commands are off: $laps"
eventually "the second run's stop did not arrive on the broker" count_events stopped 2
[ "$(jq -r .session "$out/events.jsonl" | sort -u | wc -l)" = 2 ] ||
    fail "the two starts of the program do not tell their sessions apart"
# A broker that cannot be reached: told on the error output and to the operator, and the watch
# times on.
stop_kelvos
kill "$broker_pid"
wait "$broker_pid" 2>/dev/null || true
eventually "mosquitto did not stop" port_free "$port"
settings 0
rm -f "$work"/*.csv
start_kelvos "$work"
told() { grep -q "The broker 127.0.0.1:$port cannot be reached" "$work/stdout.log"; }
eventually "the missing broker was not told on the error output" told
message_shown() { [ -n "$(xdotool search --onlyvisible --name '^KelvoS$' 2>/dev/null)" ]; }
eventually "the missing broker was not told to the operator" message_shown
send start || fail "--send start failed without a broker"
send lap1 || fail "--send lap1 failed without a broker"
send stop || fail "--send stop failed without a broker"
eventually "the run without a broker left no automatic Mix file" has_mix_file "$work"
echo "broker: $(wc -l <"$out/broker-laps.txt") laps carried with the Mix file's totals; commands followed only when allowed; a missing broker told"
