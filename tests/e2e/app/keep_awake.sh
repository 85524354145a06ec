#!/usr/bin/env bash
# The screen is kept on while the watch runs, as seen on a private session bus with stand-ins
# for the desktop's services: the portal's Inhibit when the portal is there (and then only it),
# else the screen saver's; each hold is released at the stop and at the close, also one the
# desktop granted only after the stop. With neither service the watch runs all the same and
# says so once.
if [ -z "${KELVOS_PRIVATE_BUS:-}" ]; then
    KELVOS_PRIVATE_BUS=1 exec dbus-run-session --config-file="$(dirname "$0")/../private-bus.conf" \
        -- bash "$0" "$@"
fi
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"

send() { "$KELVOS_BIN" --send "$1" || fail "--send $1 failed"; }
lines() { grep -c -- "$2" "$1" || true; }
has_lines() { [ "$(lines "$1" "$2")" = "$3" ]; }

# run_watch <dir>: start, stop, restart, then close while running.
run_watch() {
    start_kelvos "$1"
    trap 'kill $fake_pid 2>/dev/null; stop_kelvos' EXIT
    send start
    expect_running "the watch did not start"
    eventually "no hold at the start" has_lines "$log" " Inhibit " 1
    send stop
    expect_stopped "the watch did not stop"
    eventually "no release at the stop" has_lines "$log" "$release" 1
    send restart
    expect_running "the watch did not restart"
    eventually "no hold at the restart" has_lines "$log" " Inhibit " 2
    stop_kelvos
}

# offer <log> <services...>: the stand-in, running until the test ends.
offer() {
    log="$1"
    shift
    "$FAKE_DESKTOP_BIN" "$@" >"$log" 2>"$log.err" &
    fake_pid=$!
    trap 'kill $fake_pid 2>/dev/null; stop_kelvos' EXIT
    eventually "the stand-in did not come up" has_lines "$log" ready 1
}

# The portal and the screen saver both there: the portal is used.
offer "$out/portal.log" inhibit screensaver
release="portal Close /org/freedesktop/portal/desktop/request/1"
run_watch "$out/portal"
has_lines "$log" "portal Inhibit window='' flags=12 reason='A run is being timed'" 2 ||
    fail "not held through the portal: $(cat "$log")"
has_lines "$log" "portal Close /org/freedesktop/portal/desktop/request/2" 1 ||
    fail "the hold of the restart was not released at the close: $(cat "$log")"
has_lines "$log" screensaver 0 || fail "the screen saver was asked too: $(cat "$log")"
kill "$fake_pid"

# No portal: the screen saver.
offer "$out/screensaver.log" screensaver
release="screensaver UnInhibit 41"
run_watch "$out/screensaver"
has_lines "$log" "screensaver Inhibit application='KelvoS' reason='A run is being timed'" 2 ||
    fail "not held through the screen saver: $(cat "$log")"
has_lines "$log" "screensaver UnInhibit 42" 1 ||
    fail "the hold of the restart was not released at the close: $(cat "$log")"
kill "$fake_pid"

# A desktop that answers late: the run stopped before the hold was granted, so it is released
# as soon as it is.
offer "$out/slow.log" screensaver slow
start_kelvos "$out/slow"
trap 'kill $fake_pid 2>/dev/null; stop_kelvos' EXIT
send start
send stop
has_lines "$log" "screensaver answered" 0 || fail "the stand-in answered before the stop"
eventually "the late hold was not released" has_lines "$log" "screensaver UnInhibit 41" 1
stop_kelvos
kill "$fake_pid"

# Neither: one line on the error output, and the watch works.
start_kelvos "$out/none"
send start
expect_running "the watch did not start without the services"
send stop
send restart
send stop
stop_kelvos
told=$(grep -c "did not keep the screen on" "$KELVOS_DIR/stdout.log" || true)
[ "$told" = 1 ] || fail "told $told times: $(cat "$KELVOS_DIR/stdout.log")"
echo "keep_awake: held and released through the portal, then the screen saver; none told once"
