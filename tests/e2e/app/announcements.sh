#!/usr/bin/env bash
# The announcements other programs see: with "J" a lap goes onto the clipboard as the Japanese
# sentence, agreeing with the lap time and total the Mix file keeps; with "D" the Display
# window shows the lap and goes by itself after its hold; the taskbar text (the window's icon
# name) follows the running total.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
start_kelvos "$work"
click() { xdotool mousemove --window "$KELVOS_WID" "$1" "$2" click 1; }
click 320 15 # "J"
click 436 15 # "D"

icon_name() { xprop -id "$KELVOS_WID" _NET_WM_ICON_NAME WM_ICON_NAME; }
xdotool key Up
expect_running "Up did not start the watch"
icon_before=$(icon_name)
icon_moved() { [ "$(icon_name)" != "$icon_before" ]; }
eventually "the taskbar text does not follow the total: $icon_before" icon_moved
icon_name | grep -q '^_NET_WM_ICON_NAME(UTF8_STRING) = "00:00:0' ||
    fail "no running total in the taskbar text: $(icon_name)"
icon_name | grep -q '^WM_ICON_NAME(STRING) = "00:00:0' || fail "no WM_ICON_NAME: $(icon_name)"

sleep 0.8
xdotool key 87 # keypad 1: a lap of competitor 1
has_sentence() { xclip -o -selection clipboard 2>/dev/null | grep -q '^ラップ1='; }
eventually "no lap sentence on the clipboard" has_sentence
sentence=$(xclip -o -selection clipboard)
display_shown() { xdotool search --onlyvisible --name '^Display$' >/dev/null 2>&1; }
eventually "the Display window did not show the lap" display_shown
xdotool key Down
eventually "the stop wrote no Mix file" has_mix_file "$work"

# The sentence's lap time and total, from the Mix file's row (HH:MM:SS:mmm).
IFS=, read -r _ _ total lap _ <"$(mix_file "$work")"
IFS=: read -r lh lm ls lms <<<"$lap"
IFS=: read -r th tm ts tms <<<"$total"
lap_part="${ls}秒${lms}"
[ "$lm" = 00 ] || lap_part="${lm}分${lap_part}"
[ "$lh" = 00 ] || lap_part="${lh}時間${lm}分${ls}秒${lms}"
expected="ラップ1=${lap_part} トータル =${th}時間${tm}分${ts}秒${tms}"
[ "$sentence" = "$expected" ] || fail "clipboard '$sentence', Mix file says '$expected'"

gone() { ! display_shown; }
for _ in $(seq 1 150); do gone && break; sleep 0.1; done # a hold of 10 s
gone || fail "the Display window did not close after its hold"
echo "announcements: '$sentence' on the clipboard, Display shown and gone, icon name follows"
