#!/usr/bin/env bash
# System-wide hotkeys of the real program while another X window has the keyboard: Up starts,
# keypad 1 records a lap with NumLock off and on, a held key records one lap, Down stops.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"

# "T" puts the lap count into the title: "... ; LAP<count>=<lap> ; TOTAL=<total>".
xdotool mousemove --window "$KELVOS_WID" 396 15 click 1
eventually "\"T\" did not change the title form" lap_count_is 0
xmessage -geometry +700+800 -name other "another program" &
other_pid=$!
trap 'kill $other_pid 2>/dev/null; stop_kelvos' EXIT
other=$(wait_for_window other)
xdotool windowfocus "$other"
focus_is_other() { [ "$(xdotool getwindowfocus)" = "$other" ]; }
eventually "the other window did not get the keyboard" focus_is_other

xdotool key Up
expect_running "Up did not start the watch"

xdotool key 87 # keypad 1, NumLock off
eventually "keypad 1 with NumLock off did not record a lap" lap_count_is 1
xdotool key Num_Lock
xdotool key 87 # keypad 1, NumLock on
eventually "keypad 1 with NumLock on did not record a lap" lap_count_is 2

# A held key repeats its press; one physical press is one lap.
xdotool keydown 87 keydown 87 keydown 87 keydown 87 keyup 87
eventually "the held key recorded no lap" lap_count_is 3
sleep 0.3
lap_count_is 3 || fail "a held key recorded more than one lap: '$(window_title)'"

focus_is_other || fail "the hotkeys took the keyboard from the other window"

# With KelvoS itself in front, each press of the lap key is still one lap.
xdotool windowfocus "$KELVOS_WID"
xdotool key 87
eventually "keypad 1 with KelvoS in front did not record a lap" lap_count_is 4
xdotool key 87
eventually "a second press with KelvoS in front did not record a lap" lap_count_is 5

xdotool key Down
expect_stopped "Down did not stop the watch"
echo "hotkeys: started, 5 laps, stopped: '$(window_title)'"
