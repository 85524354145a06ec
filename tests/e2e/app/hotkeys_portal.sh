#!/usr/bin/env bash
# System-wide hotkeys on a Wayland desktop, through a stand-in for the desktop portal's global
# shortcuts on a private session bus: the seven commands are bound with the operator's
# combinations as preferred triggers; the portal's Activated signals start the watch, record
# laps and stop it; the shortcut the portal refused shows its label in the inactive colour and
# records nothing.
if [ -z "${KELVOS_PRIVATE_BUS:-}" ]; then
    KELVOS_PRIVATE_BUS=1 exec dbus-run-session --config-file="$(dirname "$0")/../private-bus.conf" \
        -- bash "$0" "$@"
fi
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
log="$out/portal.log"
has_line() { grep -q -- "$1" "$log"; }

"$FAKE_DESKTOP_BIN" shortcuts refuse=lap3 >"$log" 2>"$log.err" &
fake_pid=$!
trap 'kill $fake_pid 2>/dev/null' EXIT
eventually "the stand-in did not come up" has_line ready

export XDG_SESSION_TYPE=wayland
start_kelvos "$out/work"
trap 'kill $fake_pid 2>/dev/null; stop_kelvos' EXIT
eventually "the shortcuts were not bound: $(cat "$log")" has_line \
    "shortcuts Bind session start=Up stop=Down restart=Left reset=Right lap1=KP_1 lap2=KP_2 lap3=KP_3"

press() {
    dbus-send --session --type=method_call --dest=org.freedesktop.portal.Desktop /fake \
        org.kelvos.Fake.Press "string:$1" || fail "the stand-in did not take $1"
}
# "T" puts the lap count into the title.
xdotool mousemove --window "$KELVOS_WID" 396 15 click 1
eventually "\"T\" did not change the title form" lap_count_is 0

press start
expect_running "the portal's start did not start the watch"
press lap1
eventually "the portal's lap1 recorded no lap" lap_count_is 1
press lap3
press lap1
eventually "the second lap1 recorded no lap" lap_count_is 2

# The state labels: Lap1 granted (active colour), Lap3 refused (inactive colour).
shot="$out/running.png"
screenshot "$shot"
label_is "$shot" 4 226 234 221 ||
    fail "the Lap1 label is not in the active colour: $(label_colour "$shot" 4)"
label_is "$shot" 324 164 125 134 ||
    fail "the Lap3 label is not in the inactive colour: $(label_colour "$shot" 324)"

press stop
expect_stopped "the portal's stop did not stop the watch"
eventually "the stop left no automatic Mix file" has_mix_file "$out/work"
laps=$(mix_laps "$(mix_file "$out/work")")
[ "$laps" = "1,1 2,1" ] || fail "the Mix file holds '$laps', not two laps of competitor 1"
echo "hotkeys_portal: bound, started, 2 laps, refused lap3 shown and ignored, stopped"
