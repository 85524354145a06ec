#!/usr/bin/env bash
# Two watches of one user on two X displays: the second opens its own window instead of being
# sent to the first, and each display's `kelvos --send` reaches its own watch. Without a
# display, --send cannot tell which one is meant and says so.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/first" # the runtime folder it sets is the second watch's too

Xvfb -displayfd 3 -nolisten tcp -screen 0 640x480x24 3>"$out/display2" 2>"$out/xvfb2.log" &
xvfb2=$!
second=""
trap 'kill $second $xvfb2 2>/dev/null || true; stop_kelvos' EXIT
display2_answers() { [ -s "$out/display2" ] && xdpyinfo -display ":$(cat "$out/display2")" >/dev/null 2>&1; }
for _ in $(seq 1 100); do display2_answers && break; sleep 0.1; done
display2_answers || fail "the second X server did not start: $(cat "$out/xvfb2.log")"
display2=":$(cat "$out/display2")"

mkdir -p "$out/second"
cp "$KELVOS_BIN" "$out/second/kelvos"
(cd "$out/second" && DISPLAY="$display2" SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb exec ./kelvos \
    >"$out/second.log" 2>&1) &
second=$!
window_on_display2() { DISPLAY="$display2" xdotool search --onlyvisible --class KelvoS >/dev/null 2>&1; }
eventually "no window on the second display: $(cat "$out/second.log")" window_on_display2

DISPLAY="$display2" "$KELVOS_BIN" --send start || fail "--send start on the second display failed"
second_title() { DISPLAY="$display2" xdotool search --onlyvisible --class KelvoS getwindowname 2>/dev/null; }
title_before=$(second_title)
second_runs() { [ "$(second_title)" != "$title_before" ]; }
eventually "the second watch did not start" second_runs
expect_stopped "the first watch started"

status=0
env -u DISPLAY "$KELVOS_BIN" --send stop 2>"$out/nodisplay.err" || status=$?
[ "$status" = 1 ] || fail "--send without a display gave status $status"
grep -q "several displays" "$out/nodisplay.err" || fail "no message: $(cat "$out/nodisplay.err")"
echo "two_displays: one watch on each display, each reached by its own --send"
