#!/usr/bin/env bash
# A file dialog leaves the watch working, and its answer is judged when it comes: "LoadCsv" of
# the Main grid opened while the watch stands, the run started and laps taken from another
# program while the dialog is open, then a file chosen. The figures run on under the dialog, the
# load is refused with a message, and every lap of the run reaches the automatic Mix file.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"
work="$out/work"
send() { (cd "$out" && env -u DISPLAY "$KELVOS_BIN" --send "$@"); }
printf '1,x,00:01:00:000,00:01:00:000,,,60000,,60000,\r\n' >"$work/in.csv"

window_named() { xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1; }
has_window_named() { [ -n "$(window_named "$1")" ]; }

xdotool mousemove --window "$KELVOS_WID" 339 229 click 1 # "LoadCsv" of the Main grid
eventually "no file dialog opened" has_window_named "^Main csv file load$"
dialog=$(window_named "^Main csv file load$")

send start || fail "--send start failed under the dialog"
expect_running "the watch does not run under the dialog"
for command in lap1 lap2 lap1; do
    send "$command" || fail "--send $command failed under the dialog"
done
expect_running "the figures stopped under the dialog"

xdotool windowfocus "$dialog"
focus_is_dialog() { [ "$(xdotool getwindowfocus)" = "$dialog" ]; }
eventually "the dialog did not get the keyboard" focus_is_dialog
xdotool type in.csv
xdotool key Return
dialog_closed() { ! has_window_named "^Main csv file load$"; }
eventually "the dialog did not close" dialog_closed
eventually "no message told that the file was not loaded" has_window_named "^KelvoS$"

send lap1 || fail "the run was not running after the answer"
send stop || fail "--send stop failed"
eventually "the stop left no automatic Mix file" has_mix_file "$work"
laps=$(mix_laps "$(mix_file "$work")")
[ "$laps" = "1,1 1,2 2,1 3,1" ] || fail "the run's laps are not in the Mix file: $laps"
echo "dialogs: the run went on under the dialog; the load answered during it was refused"
