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

screenshot "$out/main-window.png"
size=$(identify -format '%wx%h' "$out/main-window.png")
[ "$size" = "1020x763" ] || fail "screenshot is $size, not the 1020x763 window"
echo "run_control: window opened, started with Enter, title '$second'"
