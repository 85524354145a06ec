#!/usr/bin/env bash
# A key held down is one press, also where the window never gets the keyboard focus from a
# window manager: on this server, which runs none, the keyboard's focus is the root window and
# keys go to the window under the pointer. Enter held for 1.5 s on the focused "LAP 1" (the
# server repeats it meanwhile) records exactly one lap.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"
send() { (cd "$out" && env -u DISPLAY "$KELVOS_BIN" --send "$@"); }

root=$(xwininfo -root | sed -n 's/.*Window id: \(0x[0-9a-f]*\).*/\1/p')
xdotool windowfocus "$root"
focus_is_root() { [ "$(xdotool getwindowfocus)" = "$((root))" ]; }
eventually "the keyboard focus did not go back to the root window" focus_is_root
# The pointer rests on the grid, away from any button.
xdotool mousemove --window "$KELVOS_WID" 600 300

send start || fail "--send start failed"
expect_running "--send start did not start the watch"
xdotool keydown Return
sleep 1.5 # the server repeats a held key after its repeat delay: the hold must outlast it
xdotool keyup Return
send stop || fail "--send stop failed"

eventually "the stop left no automatic Mix file" has_mix_file "$out/work"
laps=$(mix_laps "$(mix_file "$out/work")")
[ "$laps" = "1,1" ] || fail "Enter held on LAP 1 recorded the laps '$laps', not one lap"
echo "held_key: Enter held 1.5 s without a window manager recorded one lap"
