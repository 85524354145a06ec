#!/usr/bin/env bash
# Results on disk and on the clipboard: a run with laps of all three competitors, stopped from
# the keyboard, leaves exactly one automatic Mix file; "Copy" gives other programs the Mix
# grid's cells; text another program put on the clipboard pastes into the Main grid.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"
work="$out/work"

click() { xdotool mousemove --window "$KELVOS_WID" "$1" "$2" click 1; }
click_copy() { click 507 229; }
click_paste() { click 736 229; }
click_save_csv() { click 283 229; }

# "T" puts competitor 1's lap count into the title.
click 396 15
# The keys go to another program, as at a race: the watch hears them as system-wide hotkeys.
xmessage -geometry +700+800 -name other "another program" &
other_pid=$!
trap 'kill $other_pid 2>/dev/null; stop_kelvos' EXIT
xdotool windowfocus "$(wait_for_window other)"

xdotool key Up
expect_running "Up did not start the watch"
# Press order: competitor 1, 2, 3, 1, 3 (keypad 1..3 as raw keycodes, NumLock off).
for key in 87 88 89 87 89; do
    xdotool key "$key"
    sleep 0.1
done
eventually "competitor 1 does not have two laps" lap_count_is 2
xdotool key Down
expect_stopped "Down did not stop the watch"

mix_files() { (cd "$work" && ls -- *M.csv 2>/dev/null || true); }
one_mix_file() { [ "$(mix_files | wc -l)" = 1 ]; }
eventually "the stop left no automatic Mix file" one_mix_file
mix="$work/$(mix_files)"
[ "$(cd "$work" && ls -- *.csv | wc -l)" = 1 ] || fail "more than the Mix file: $(ls "$work")"
[[ "$(basename "$mix")" =~ ^[0-9]{10}M\.csv$ ]] || fail "not an automatic name: $mix"

# Lines: lap number and name in press order, ten fields, every line ended by CR LF.
[ "$(grep -c $'\r$' "$mix")" = 5 ] || fail "not five CR LF lines: $(od -c "$mix" | head)"
[ "$(tr -d '\r' <"$mix" | wc -l)" = 5 ] || fail "stray line ends in $mix"
laps=$(tr -d '\r' <"$mix" | awk -F, '{ print $1 "," $2 }' | paste -sd' ')
[ "$laps" = "1,1 1,2 1,3 2,1 2,3" ] || fail "Mix file laps/names in wrong order: $laps"
fields=$(tr -d '\r' <"$mix" | awk -F, '{ print NF }' | sort -u)
[ "$fields" = 10 ] || fail "Mix lines do not have ten fields: $fields"
tr -d '\r' <"$mix" | awk -F, '$3 !~ /^[0-9][0-9]:[0-9][0-9]:[0-9][0-9]:[0-9][0-9][0-9]$/ { exit 1 }' ||
    fail "a Mix line has no total time: $(cat "$mix")"

# "Copy": the Mix grid's rows as one comma-text line, the file's lines one after the other.
expected_clipboard=$(tr -d '\r' <"$mix" | paste -sd,)
click_copy
clipboard_is_mix() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = "$expected_clipboard" ]; }
eventually "xclip does not read back the copied Mix grid" clipboard_is_mix

# Another program's text pastes ten cells to a row; the row count comes from the last copy.
printf '%s' '7,"Paste A",x,,,,,,,,8,"B, C"' | xclip -quiet -selection clipboard &
xclip_pid=$!
trap 'kill $xclip_pid $other_pid 2>/dev/null; stop_kelvos' EXIT
clipboard_is_foreign() { [ "$(xclip -o -selection clipboard 2>/dev/null)" = '7,"Paste A",x,,,,,,,,8,"B, C"' ]; }
eventually "xclip did not take the clipboard" clipboard_is_foreign
click_paste

# "SaveCsv" writes Main rows 1 to competitor 1's lap count (2): the pasted rows.
main_files() { (cd "$work" && ls -- [0-9]*[0-9].csv 2>/dev/null || true); }
one_main_file() { [ "$(main_files | wc -l)" = 1 ]; }
click_save_csv
eventually "SaveCsv wrote no file" one_main_file
main="$work/$(main_files)"
expected_main=$'7,"Paste A",x,,,,,,,\r\n8,"B, C",,,,,,,,\r'
[ "$(cat "$main")" = "$expected_main" ] || fail "pasted rows not saved: $(od -c "$main" | head)"
echo "csv_clipboard: $(basename "$mix") with 5 laps, Copy read by xclip, xclip text pasted"
