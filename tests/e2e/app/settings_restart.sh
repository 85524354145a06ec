#!/usr/bin/env bash
# Settings survive a restart: the program started in a fresh folder is changed (a name, a
# hotkey, two check boxes), closed as a desktop closes it, and started again.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"
[ ! -e "$out/work/kelvos.ini" ] || fail "a fresh folder already has settings"

xdotool mousemove --window "$KELVOS_WID" 635 15 click 1 # the name of competitor 1
xdotool key ctrl+a
xdotool type --delay 20 "Aida"
xdotool mousemove --window "$KELVOS_WID" 72 714 click 1 # the start hotkey editor
xdotool key F9
xdotool mousemove --window "$KELVOS_WID" 396 15 click 1 # "T"
xdotool mousemove --window "$KELVOS_WID" 717 714 click 1 # "stopkeyoff"
eventually "\"T\" did not change the title form" lap_count_is 0
stop_kelvos
[ -s "$out/work/kelvos.ini" ] || fail "no settings file was written at close"
grep -q '^Edit1Text=Aida' "$out/work/kelvos.ini" || fail "the name was not saved: $(cat "$out/work/kelvos.ini")"

start_kelvos "$out/work"
eventually "after the restart \"T\" is not checked" lap_count_is 0
xdotool key F9 # the start hotkey is now F9
expect_running "F9 did not start the watch after the restart"
# "stopkeyoff" came back too: the Down arrow does not stop the run.
xdotool key Down
sleep 0.3
expect_running "Down stopped the watch although \"stopkeyoff\" was saved"
for box in CheckBox5 CheckBox8; do
    awk -v s="[Form\\$box]" '$0 == s { getline; print; exit }' "$out/work/kelvos.ini" |
        grep -qx 'Checked=1' || fail "$box was not saved as checked"
done
echo "settings_restart: name, hotkey and boxes back after a restart"
