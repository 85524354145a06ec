#!/usr/bin/env bash
# Commands from another process: `kelvos --send` starts the watch, records laps of two
# competitors and stops it, as the automatic Mix file shows; a command the present state does
# not allow is refused; the remote timekeepers' link is refused with its reason while they are
# not allowed; a second start brings the running window to the front and exits; with no watch
# running, --send says so and fails. --help and --version need no display.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"

env -u DISPLAY "$KELVOS_BIN" --version | grep -q '^KelvoS [0-9]' || fail "--version"
env -u DISPLAY "$KELVOS_BIN" --help | grep -q -- '--send <command>' || fail "--help"
if env -u DISPLAY "$KELVOS_BIN" --send lap9 2>"$out/bad.err"; then fail "--send lap9 succeeded"; fi
grep -q "unknown command 'lap9'" "$out/bad.err" || fail "no message for lap9: $(cat "$out/bad.err")"

start_kelvos "$work"
send() { (cd "$out" && env -u DISPLAY "$KELVOS_BIN" --send "$@"); }

# Before a start there is no lap to take.
status=0
send lap1 2>"$out/refused.err" || status=$?
[ "$status" = 3 ] || fail "a lap before the start gave status $status"
grep -q "did not take 'lap1'" "$out/refused.err" || fail "no message: $(cat "$out/refused.err")"

# Remote timekeepers are off by default: no link is given, and the answer says why.
status=0
send remote-link >"$out/link.out" 2>"$out/link.err" || status=$?
[ "$status" = 3 ] && [ ! -s "$out/link.out" ] || fail "remote-link while not allowed gave status $status"
grep -q "Allow remote timekeepers" "$out/link.err" || fail "no reason: $(cat "$out/link.err")"

send start || fail "--send start failed"
expect_running "--send start did not start the watch"
for command in lap1 lap1 lap2; do
    send "$command" || fail "--send $command failed"
done
send read || fail "--send read failed"
send stop || fail "--send stop failed"
expect_stopped "--send stop did not stop the watch"

# After the stop no lap is taken, and the refused command records nothing.
journal_lines=$(wc -l <"$work/kelvos-run.journal")
status=0
send lap1 2>"$out/stopped.err" || status=$?
[ "$status" = 3 ] || fail "a lap after the stop gave status $status"
[ "$(wc -l <"$work/kelvos-run.journal")" = "$journal_lines" ] || fail "a refused lap was journalled"

eventually "the stop left no automatic Mix file" has_mix_file "$work"
laps=$(mix_laps "$(mix_file "$work")")
[ "$laps" = "1,1 2,1 1,2" ] || fail "the sent laps are not in the Mix file: $laps"
grep -c . "$work/kelvos-run.journal" >/dev/null || fail "no run journal"

# A second start while another program has the keyboard: the first window comes to the front.
xmessage -geometry +700+800 -name other "another program" &
other_pid=$!
trap 'kill $other_pid 2>/dev/null; stop_kelvos' EXIT
other=$(wait_for_window other)
xdotool windowfocus "$other"
focus_is() { [ "$(xdotool getwindowfocus)" = "$1" ]; }
eventually "the other window did not get the keyboard" focus_is "$other"
(cd "$out" && timeout 20 "$KELVOS_BIN" 2>"$out/second.err") || fail "the second start failed: $(cat "$out/second.err")"
grep -q "already running" "$out/second.err" || fail "the second start said: $(cat "$out/second.err")"
eventually "the running window did not come to the front" focus_is "$KELVOS_WID"
[ "$(xdotool search --onlyvisible --class KelvoS | wc -l)" = 1 ] || fail "a second window opened"

stop_kelvos
status=0
send lap1 2>"$out/none.err" || status=$?
[ "$status" = 1 ] || fail "--send without a watch gave status $status"
grep -q "no KelvoS is running" "$out/none.err" || fail "no message: $(cat "$out/none.err")"
status=0
send remote-new-link 2>"$out/none-link.err" || status=$?
[ "$status" = 1 ] || fail "remote-new-link without a watch gave status $status"
grep -q "no KelvoS is running to take 'remote-new-link'" "$out/none-link.err" ||
    fail "no message: $(cat "$out/none-link.err")"
echo "send: started, 3 laps, read, stopped by --send; second start raised the window"
