#!/usr/bin/env bash
# Docking the lap chart in the real program: with "DD" a drag pulls the chart out into a window
# of its own, leaving the "Docking Chart" caption in its place, and a drag back onto that place
# docks it again.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"
trap stop_kelvos EXIT

# drag <window> <x> <y> <window> <x> <y>: a left drag from a point of one window to a point of
# another, past the drag distance first.
drag() {
    xdotool mousemove --window "$1" "$2" "$3" mousedown 1
    xdotool mousemove --window "$1" $(($2 + 20)) $(($3 + 20))
    xdotool mousemove --window "$4" "$5" "$6"
    sleep 0.2
    xdotool mouseup 1
}
chart_window() { xdotool search --onlyvisible --name '^Chart$' 2>/dev/null | head -n 1 || true; }
chart_floats() { [ -n "$(chart_window)" ]; }
chart_docked() { [ -z "$(chart_window)" ]; }
# The orange of the "Docking Chart" caption shows in the chart's place of the main window.
caption_shows() {
    import -window "$KELVOS_WID" -crop 998x316+3+365 +repage "$out/place.png"
    [ "$(convert "$out/place.png" txt:- | grep -ci '#FF6C26')" -gt 0 ]
}
caption_hidden() { ! caption_shows; }

xdotool mousemove --window "$KELVOS_WID" 900 714 click 1 # "DD"
sleep 0.3
chart_docked || fail "ticking \"DD\" made the chart float at once"
drag "$KELVOS_WID" 500 500 "$KELVOS_WID" 500 150
eventually "the dragged chart did not float in a window of its own" chart_floats
eventually "the chart's place does not show \"Docking Chart\"" caption_shows
drag "$(chart_window)" 500 150 "$KELVOS_WID" 500 530
eventually "the chart dropped onto its place did not dock" chart_docked
eventually "the docked chart does not cover its place" caption_hidden
echo "docking: the chart floated in its own window and docked back into its place"
