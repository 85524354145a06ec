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
expect_running "Enter on the start button did not start the watch"
case "$(window_title)" in
00:00:0*" :: "*) ;;
*) fail "title should start with the running total: '$(window_title)'" ;;
esac
second=$(window_title)

# The brightest pixel of a cell: white lap text stands out from the dark cell colours.
cell_brightness() {
    import -window "$KELVOS_WID" -crop "$1" +repage "$out/cell.png"
    identify -format '%[fx:maxima.intensity*100]' "$out/cell.png" | cut -d. -f1
}

# Enter on the focused LAP 1 button records laps: they appear as rows of the Main grid.
main_cell_has_text() { [ "$(cell_brightness "60x12+280+$((30 + 18 * $1 + 3))")" -gt 80 ]; }
for lap in 1 2 3; do
    xdotool key --window "$KELVOS_WID" Return
    eventually "lap $lap did not appear in the Main grid" main_cell_has_text "$lap"
done
screenshot "$out/main-window.png"
! main_cell_has_text 5 || fail "Main grid row 5 is not empty"
size=$(identify -format '%wx%h' "$out/main-window.png")
[ "$size" = "1020x763" ] || fail "screenshot is $size, not the 1020x763 window"
echo "run_control: window opened, started with Enter, title '$second'"
