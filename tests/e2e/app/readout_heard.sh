#!/usr/bin/env bash
# The read-outs as a listener hears them, through a real sound server: a private PulseAudio
# with a null sink, recorded from its monitor. A second lap pressed while the first is read
# changes nothing of the first read-out: it is found in the recording clip by clip with lap 1's
# figures, with the second press's tone over it, followed at once by lap 2's; the gaps between
# clips stay within their bounds. Stop and restart during lap 2's read-out sound over it
# ("pipi", "goo"), and the read-out goes on to its end.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
mkdir -p "$work"
cp "$KELVOS_CLIPS_DIR"/*.wav "$work/"

pulse="$out/pulse"
mkdir -p "$pulse"
cat >"$pulse/default.pa" <<PA
load-module module-native-protocol-unix socket=$pulse/native auth-anonymous=1
load-module module-null-sink sink_name=rec rate=22050 channels=1 format=s16le
set-default-sink rec
PA
export PULSE_SERVER="unix:$pulse/native"
# The server keeps to itself: no session bus started for it through the X display, and its
# audio crosses the socket, not memory shared with whoever else runs on the machine.
env -u DISPLAY HOME="$pulse" XDG_RUNTIME_DIR="$pulse" DBUS_SESSION_BUS_ADDRESS=disabled: \
    pulseaudio -n -F "$pulse/default.pa" --daemonize=no --exit-idle-time=-1 --disable-shm=yes \
    >"$pulse/server.log" 2>&1 &
pulse_pid=$!
recorder_pid=""
finish() {
    stop_kelvos
    [ -z "$recorder_pid" ] || kill "$recorder_pid" 2>/dev/null || true
    kill "$pulse_pid" 2>/dev/null || true
    wait 2>/dev/null || true
}
server_up() { pactl info >/dev/null 2>&1; }
for _ in $(seq 1 50); do server_up && break; sleep 0.1; done
server_up || fail "the sound server did not start: $(cat "$pulse/server.log")"
# A recorder at a low latency keeps the null sink close behind the player.
parec -d rec.monitor --rate=22050 --channels=1 --format=s16le --latency-msec=5 --raw \
    >"$out/rec.raw" &
recorder_pid=$!

KELVOS_AUDIO_DRIVER=pulseaudio start_kelvos "$work"
trap finish EXIT
xdotool key Up
expect_running "Up did not start the watch"
sleep 3        # the sound server's first second, as a stream joins, is not kept
xdotool key 87 # lap 1, read at once
sleep 1.3
xdotool key 87 # lap 2, while lap 1 is read
sleep 8.2      # lap 1's read-out and the start of lap 2's
xdotool key Down # stop and restart while lap 2 is read
sleep 0.5
xdotool key Left
sleep 5
xdotool key Down
eventually "the stop wrote no Mix file" has_mix_file "$work"
sleep 1.5 # the closing sounds
finish
trap - EXIT

ms() {
    local h m s f
    IFS=: read -r h m s f <<<"$1"
    echo $(((10#$h * 3600 + 10#$m * 60 + 10#$s) * 1000 + 10#$f))
}
words() { # the clips of lap <n>'s read-out, from its row in the Mix file
    local total lap
    IFS=, read -r _ _ total lap _ < <(sed -n "${1}p" "$(mix_file "$work")")
    "$HEARD_BIN" words "$1" "$(ms "$lap")" "$(ms "$total")"
}
mapfile -t lap1 < <(words 1)
mapfile -t lap2 < <(words 2)
[ ${#lap1[@]} -gt 10 ] && [ ${#lap2[@]} -gt 10 ] || fail "no words for the laps"
start_of() { sed -n "${1}p" <<<"$found" | cut -d' ' -f2; } # the start of the nth clip found

# Lap 1's read-out with lap 1's figures, then lap 2's right after it, up to the stop.
found=$("$HEARD_BIN" sequence "$out/rec.raw" "$work" 0 "${lap1[@]}" "${lap2[@]:0:6}") ||
    fail "lap 1 and lap 2 were not read one after the other with their own figures"
gaps=$(tail -n +2 <<<"$found" | cut -d' ' -f3 | sort -n)
shortest=$(head -n 1 <<<"$gaps")
longest=$(tail -n 1 <<<"$gaps")
awk -v a="$shortest" -v b="$longest" 'BEGIN { exit !(a >= 30 && b <= 400) }' ||
    fail "gaps between clips from $shortest to $longest ms"
"$HEARD_BIN" tone "$out/rec.raw" "$work" "$(start_of 1)" "$(start_of $((${#lap1[@]} + 1)))" \
    pi.wav >/dev/null || fail "the second lap's press was not heard during the first read-out"

# The stop's and the restart's tones sound over lap 2's read-out, which goes on to its end.
from=$(start_of $((${#lap1[@]} + 6)))
stop_at=$("$HEARD_BIN" tone "$out/rec.raw" "$work" "$from" $((from + 22050 * 5)) pipi.wav |
    cut -d' ' -f2) || fail "the stop's tone was not heard during the read-out"
goo_at=$("$HEARD_BIN" tone "$out/rec.raw" "$work" "$stop_at" $((stop_at + 22050 * 3)) goo.wav |
    cut -d' ' -f2) || fail "the restart's tone was not heard during the read-out"
"$HEARD_BIN" sequence "$out/rec.raw" "$work" "$goo_at" "${lap2[@]: -3}" >/dev/null ||
    fail "the read-out of lap 2 did not go on to its end"
echo "readout_heard: laps 1 and 2 read in turn, gaps $shortest to $longest ms; pipi and goo over lap 2"
