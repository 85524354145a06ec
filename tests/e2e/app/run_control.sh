#!/usr/bin/env bash
# The real program opens its window, Enter on the focused start button starts the watch, and
# the running total shows in the window title.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"

before=$(window_title)
case "$before" in
*"00:00:00:000"*) ;;
*) fail "title before start should show a zero total: '$before'" ;;
esac

xdotool key --window "$KELVOS_WID" Return
sleep 0.5
first=$(window_title)
sleep 0.3
second=$(window_title)
[ "$first" != "$second" ] || fail "title did not change while running: '$first'"
case "$first" in
00:00:0*" :: "*) ;;
*) fail "title should start with the running total: '$first'" ;;
esac

# Enter on the focused LAP 1 button records laps: they appear as rows of the Main grid.
for _ in 1 2 3; do
    sleep 0.2
    xdotool key --window "$KELVOS_WID" Return
done
sleep 0.3
screenshot "$out/main-window.png"
# The brightest pixel of a cell: white lap text stands out from the dark cell colours.
cell_brightness() {
    import -window "$KELVOS_WID" -crop "$1" +repage "$out/cell.png"
    identify -format '%[fx:maxima.intensity*100]' "$out/cell.png" | cut -d. -f1
}
for row in 1 2 3; do
    y=$((30 + 18 * row + 3))
    [ "$(cell_brightness "60x12+300+$y")" -gt 80 ] || fail "Main grid row $row shows no lap"
done
[ "$(cell_brightness "60x12+300+$((30 + 18 * 5 + 3))")" -lt 60 ] || fail "Main grid row 5 is not empty"
size=$(identify -format '%wx%h' "$out/main-window.png")
[ "$size" = "1020x763" ] || fail "screenshot is $size, not the 1020x763 window"
echo "run_control: window opened, started with Enter, title '$second'"
