#!/usr/bin/env bash
# System-wide hotkeys of the real program while another X window has the keyboard: Up starts,
# keypad 1 records a lap with NumLock off and on, a held key records one lap, Down stops.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"

# "T" puts the lap count into the title: "... ; LAP<count>=<lap> ; TOTAL=<total>".
xdotool mousemove --window "$KELVOS_WID" 396 15 click 1
xmessage -geometry +700+800 -name other "another program" &
other_pid=$!
trap 'kill $other_pid 2>/dev/null; stop_kelvos' EXIT
other=$(wait_for_window other)
xdotool windowfocus "$other"
sleep 0.3

lap_count() { window_title | sed -n 's/.* ; LAP\([0-9]*\)=.*/\1/p'; }

xdotool key Up
sleep 0.5
[ "$(lap_count)" = "0" ] || fail "Up did not start the watch: '$(window_title)'"
total_before=$(window_title | sed 's/.*TOTAL=//')
sleep 0.3
[ "$(window_title | sed 's/.*TOTAL=//')" != "$total_before" ] || fail "the watch does not run"

xdotool key 87 # keypad 1, NumLock off
sleep 0.3
[ "$(lap_count)" = "1" ] || fail "keypad 1 with NumLock off did not record a lap: '$(window_title)'"
xdotool key Num_Lock
xdotool key 87 # keypad 1, NumLock on
sleep 0.3
[ "$(lap_count)" = "2" ] || fail "keypad 1 with NumLock on did not record a lap: '$(window_title)'"

# A held key repeats its press; one physical press is one lap.
xdotool keydown 87 keydown 87 keydown 87 keydown 87 keyup 87
sleep 0.3
[ "$(lap_count)" = "3" ] || fail "a held key recorded more than one lap: '$(window_title)'"

xdotool key Down
sleep 0.3
stopped=$(window_title)
sleep 0.3
[ "$(window_title | sed 's/.*TOTAL=//')" = "$(echo "$stopped" | sed 's/.*TOTAL=//')" ] ||
    fail "Down did not stop the watch"
[ "$(xdotool getwindowfocus)" = "$other" ] || fail "the hotkeys took the keyboard from the other window"
echo "hotkeys: started, 3 laps, stopped from another window: '$stopped'"
