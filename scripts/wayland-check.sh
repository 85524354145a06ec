#!/usr/bin/env bash
# Checks KelvoS on a real Wayland desktop, KDE Plasma's, run headless: KWin as the compositor
# (with XWayland), its global shortcuts (kglobalaccel, inside KWin), KDE's desktop portal and
# PowerDevil as the power manager behind the portal's Inhibit. KelvoS opens through XWayland
# as it does on such a desktop, and:
#   1. its seven hotkeys are bound in KDE's global shortcut service (kglobalaccel, which KWin
#      runs; Plasma 5's portal answers a bind with no shortcut), with the operator's keys (Up,
#      Down, Left, Right, keypad 1, 2, 3);
#   2. keys typed on the compositor's keyboard by a Wayland client (KWin's fake input) start
#      the watch, record two laps of competitor 1 and stop it: the title and the automatic Mix
#      file show them;
#   3. while the watch runs PowerDevil holds an inhibition with KelvoS's reason, and none once
#      it stopped.
# kglobalaccel5 is not started: KWin runs the service itself on Wayland.
# Usage: scripts/wayland-check.sh [build dir]   (default: build; it must hold the kelvos
# program). Installs what it needs from Debian when run as root. Logs go to
# <build dir>/wayland-check/. Exits 0 when every check passed.
#
# Sandboxes without capabilities refuse to run binaries that carry a file capability (KWin's
# cap_sys_resource, PowerDevil's cap_wake_alarm): copies without it run instead. KWin's Qt
# platform plugin needs its binary to be named kwin_wayland. PowerDevil needs UPower on a
# system bus: a private one serves.
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

packages=(kwin-wayland xwayland libkf5globalaccel-bin xdg-desktop-portal xdg-desktop-portal-kde
    qtwayland5 powerdevil upower plasma-wayland-protocols libwayland-dev libwayland-bin dbus
    xdotool x11-utils g++)
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "ok installed" ||
        missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    if [ "$(id -u)" != 0 ]; then
        echo "wayland-check: needs these Debian packages: ${missing[*]} (run as root, or" \
            "install them with apt-get)" >&2
        exit 2
    fi
    echo "wayland-check: installing ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" \
        >/dev/null
fi

# The end-to-end tests' steps that read the window and the Mix file.
source "$root/tests/e2e/lib.sh"
build=$(cd "${1:-$root/build}" && pwd)
[ -x "$build/kelvos" ] || { echo "wayland-check: no $build/kelvos: build first" >&2; exit 2; }
out="$build/wayland-check"
rm -rf "$out" && mkdir -p "$out/bin" "$out/work"
export XDG_RUNTIME_DIR="$out/runtime"
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
export XDG_CURRENT_DESKTOP=KDE
# The desktop's settings (kglobalaccel's shortcuts among them) and caches start empty and stay
# out of the user's own.
export XDG_CONFIG_HOME="$out/config" XDG_DATA_HOME="$out/data" XDG_CACHE_HOME="$out/cache"
export WAYLAND_DISPLAY="kelvos-check-$$"
unset DISPLAY

pids=()
cleanup() {
    local pid
    for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
    for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    echo "(logs in $out)" >&2
    exit 1
}

# wait_for <seconds> <what> <command...>: waits for the command to succeed, else fails with
# <what>, whose $(...) are expanded then.
wait_for() {
    local tries=$(($1 * 10)) what="$2"
    shift 2
    for _ in $(seq 1 "$tries"); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$(eval "echo \"$what\"")"
}

# start <log name> <command...>: a process of the session, ended with the check.
start() {
    local log="$out/$1.log"
    shift
    "$@" >"$log" 2>&1 &
    pids+=($!)
}

# Everything talks on a private session bus, which ends with the check. It starts no service
# on demand: the check starts each one itself and knows it ends.
bus_config() { # <type> <socket>
    cat <<EOF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>$1</type>
  <listen>unix:path=$2</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/>
  </policy>
</busconfig>
EOF
}
bus_config session "$out/session-bus" >"$out/session-bus.conf"
start session-bus dbus-daemon --config-file="$out/session-bus.conf" --nofork
export DBUS_SESSION_BUS_ADDRESS="unix:path=$out/session-bus"
wait_for 10 "the private session bus did not start" test -S "$out/session-bus"

on_bus() { gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner "$1" 2>/dev/null | grep -q true; }

# The Wayland client that types keys on the compositor's keyboard.
scanner_input=/usr/share/plasma-wayland-protocols/fake-input.xml
wayland-scanner client-header "$scanner_input" "$out/bin/fake-input-client-protocol.h"
wayland-scanner private-code "$scanner_input" "$out/bin/fake-input-protocol.c"
cc -c -o "$out/bin/fake-input-protocol.o" "$out/bin/fake-input-protocol.c"
c++ -std=c++20 -I"$out/bin" -o "$out/bin/wayland_key" "$root/tests/e2e/tools/wayland_key.cpp" \
    "$out/bin/fake-input-protocol.o" -lwayland-client

# The compositor, with XWayland; the program it starts tells the X display.
cp /usr/bin/kwin_wayland "$out/bin/kwin_wayland"
printf '#!/bin/sh\necho "$DISPLAY" >"%s/display.new" && mv "%s/display.new" "%s/display"\n' \
    "$out" "$out" "$out" >"$out/bin/tell-display"
chmod +x "$out/bin/tell-display"
KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 start kwin "$out/bin/kwin_wayland" --virtual --xwayland \
    --socket "$WAYLAND_DISPLAY" --width 1280 --height 1024 "$out/bin/tell-display"
wait_for 30 'KWin did not start XWayland: $(tail -5 "$out/kwin.log")' test -s "$out/display"
export DISPLAY
DISPLAY=$(cat "$out/display")
xwayland_answers() { xdpyinfo >/dev/null 2>&1; }
wait_for 10 "XWayland does not answer on $DISPLAY" xwayland_answers
wait_for 10 "KWin's kglobalaccel is not on the bus" on_bus org.kde.kglobalaccel

# The power manager behind the portal's Inhibit, on UPower on a private system bus.
bus_config system "$out/system-bus" >"$out/system-bus.conf"
start system-bus dbus-daemon --config-file="$out/system-bus.conf" --nofork
export DBUS_SYSTEM_BUS_ADDRESS="unix:path=$out/system-bus"
wait_for 10 "the private system bus did not start" test -S "$out/system-bus"
start upower /usr/libexec/upowerd
# packaged_file <package> <file name>: where the package installed that program.
packaged_file() { dpkg -L "$1" | grep -m 1 "/$2\$"; }
cp "$(packaged_file powerdevil org_kde_powerdevil)" "$out/bin/org_kde_powerdevil"
QT_QPA_PLATFORM=wayland start powerdevil "$out/bin/org_kde_powerdevil"
wait_for 30 'PowerDevil is not on the bus: $(tail -5 "$out/powerdevil.log")' \
    on_bus org.kde.Solid.PowerManagement.PolicyAgent

# KDE's portal, then the portal's front end that hands it the calls.
QT_QPA_PLATFORM=wayland start portal-kde \
    "$(packaged_file xdg-desktop-portal-kde xdg-desktop-portal-kde)"
wait_for 30 'the KDE portal is not on the bus: $(tail -5 "$out/portal-kde.log")' \
    on_bus org.freedesktop.impl.portal.desktop.kde
start portal /usr/libexec/xdg-desktop-portal -r
portal_offers_shortcuts() {
    on_bus org.freedesktop.portal.Desktop &&
            gdbus call --session -d org.freedesktop.portal.Desktop \
            -o /org/freedesktop/portal/desktop -m org.freedesktop.DBus.Properties.Get \
            org.freedesktop.portal.GlobalShortcuts version >/dev/null 2>&1
}
wait_for 30 'the portal offers no global shortcuts: $(tail -5 "$out/portal.log")' \
    portal_offers_shortcuts
echo "desktop: KWin $("$out/bin/kwin_wayland" --version 2>/dev/null | awk '{print $2}') on" \
    "$WAYLAND_DISPLAY, XWayland $DISPLAY, KDE portal, PowerDevil"

# Another program holds the digit 3, which KWin does not tell from keypad 3: KelvoS's Lap3
# hotkey is refused.
other_action='["otherprogram", "three", "Other program", "Three"]'
gdbus call --session -d org.kde.kglobalaccel -o /kglobalaccel \
    -m org.kde.KGlobalAccel.doRegister "$other_action" >/dev/null
gdbus call --session -d org.kde.kglobalaccel -o /kglobalaccel \
    -m org.kde.KGlobalAccel.setShortcut "$other_action" "[51]" 6 >/dev/null

# KelvoS, as a desktop starts it: its own choice of platform (XWayland first).
export XDG_SESSION_TYPE=wayland
cp "$build/kelvos" "$out/work/kelvos"
(cd "$out/work" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$out/work/audio.raw" \
    exec ./kelvos >"$out/kelvos.log" 2>&1) &
KELVOS_PID=$!
pids+=("$KELVOS_PID")
kelvos_window() {
    KELVOS_WID=$(xdotool search --onlyvisible --class KelvoS 2>/dev/null | head -n 1 || true)
    [ -n "$KELVOS_WID" ]
}
wait_for 30 'no KelvoS window on XWayland: $(cat "$out/kelvos.log")' kelvos_window
echo "kelvos: window $KELVOS_WID on XWayland, title '$(window_title)'"

# 1. The bindings, as KWin's kglobalaccel holds them: every action of every component, as
#    "<component>/<action> <Qt key codes>".
bindings() {
    local component
    for component in $(gdbus call --session -d org.kde.kglobalaccel -o /kglobalaccel \
        -m org.kde.KGlobalAccel.allComponents | grep -o "'/component/[^']*'" | tr -d "'"); do
        gdbus call --session -d org.kde.kglobalaccel -o "$component" \
            -m org.kde.kglobalaccel.Component.allShortcutInfos |
            grep -o "('[^']*', '[^']*', '[^']*', '[^']*', '[^']*', '[^']*', \[[^]]*\]" |
            sed -E "s/^\('([^']*)', '[^']*', '([^']*)', '[^']*', '[^']*', '[^']*', \[([^]]*)\]/\2\/\1 \3/"
    done
}
# Qt's key codes, as KWin reports keys: the arrows, and keypad 1 and 2 as the digits they type
# (KWin gives keypad keys no keypad flag), each first among its action's keys.
expected="start 16777235
stop 16777237
restart 16777234
reset 16777236
lap1 49
lap2 50"
bound_as_expected() {
    bindings >"$out/bindings.txt" || return 1
    local id key
    while read -r id key; do
        grep -Eq "^kelvos/$id $key(,|\$)" "$out/bindings.txt" || return 1
    done <<<"$expected"
}
failed=0
# check <seconds> <what> <command...>: one check; a failed one is told and the check goes on.
check() {
    local tries=$(($1 * 10)) what="$2"
    shift 2
    for _ in $(seq 1 "$tries"); do
        "$@" && { echo "ok: $what"; return 0; }
        sleep 0.1
    done
    echo "FAILED: $what"
    failed=1
    return 1
}

check 20 "six hotkeys are bound in KWin's kglobalaccel with the operator's keys" \
    bound_as_expected || :
lap3_refused() { grep -Eq "^kelvos/lap3 0(,|$)" "$out/bindings.txt"; }
check 1 "the Lap3 hotkey is refused the digit 3, which another program holds" lap3_refused || :
echo "kglobalaccel's components: $(gdbus call --session -d org.kde.kglobalaccel \
    -o /kglobalaccel -m org.kde.KGlobalAccel.allComponents)"
grep "^kelvos/" "$out/bindings.txt" | sed 's/^/  /' || true

# Every press KWin's kglobalaccel reports, to show which reached it.
start shortcut-presses dbus-monitor --session \
    "type='signal',interface='org.kde.kglobalaccel.Component',member='globalShortcutPressed'"
# 2. Keys typed on the compositor's keyboard: Up (evdev 103) starts, keypad 1 (79) twice
#    records two laps of competitor 1, keypad 3 (81, refused) none, Down (108) stops. Where
#    a key does nothing, the same command goes through `kelvos --send`, so that the rest is
#    checked all the same.
type_key() { "$out/bin/wayland_key" "$1" || fail "the Wayland client could not type key $1"; }
send() { (cd "$out/work" && ./kelvos --send "$1") || fail "kelvos --send $1 failed"; }
runs() { total_differs_from "$total"; }
stands_still() { total_stands_still; }
total=$(title_total)
type_key 103
check 5 "Up typed on the compositor starts the watch" runs || { send start; check 5 \
    "kelvos --send start starts the watch" runs || :; }
echo "title: '$(window_title)'"

# The state labels: Lap1 granted (active colour), Lap3 refused (inactive colour).
shot="$out/running.png"
screenshot "$shot"
check 1 "the Lap1 label shows the active colour" label_is "$shot" 4 226 234 221 ||
    echo "  it shows $(label_colour "$shot" 4)"
check 1 "the Lap3 label shows the inactive colour" label_is "$shot" 324 164 125 134 ||
    echo "  it shows $(label_colour "$shot" 324)"

# 3. The inhibition while the watch runs.
policy_agent() {
    gdbus call --session -d org.kde.Solid.PowerManagement.PolicyAgent \
        -o /org/kde/Solid/PowerManagement/PolicyAgent \
        -m "org.kde.Solid.PowerManagement.PolicyAgent.$1" "${@:2}"
}
held() { policy_agent ListInhibitions | grep -q "A run is being timed"; }
check 10 "PowerDevil holds an inhibition for the run while the watch runs" held || :
echo "PowerDevil while running: ListInhibitions $(policy_agent ListInhibitions)," \
    "HasInhibition(sleep | screen) $(policy_agent HasInhibition 5)"

type_key 79
type_key 81
type_key 79
type_key 108
if ! check 5 "keypad 1, 3, 1 and Down typed on the compositor stop the watch" stands_still; then
    send lap1
    send lap1
    send stop
    check 5 "kelvos --send lap1, lap1, stop stop the watch" stands_still || :
fi
check 10 "the stop wrote the automatic Mix file" has_mix_file "$out/work" || :
laps=$(mix_laps "$(mix_file "$out/work")")
echo "title: '$(window_title)'; $(basename "$(mix_file "$out/work")") holds the laps '$laps'"
check 1 "the Mix file holds two laps of competitor 1" test "$laps" = "1,1 2,1" || :

not_held() { ! held; }
check 10 "PowerDevil holds no inhibition once the watch stopped" not_held || :
echo "PowerDevil after the stop: ListInhibitions $(policy_agent ListInhibitions)"
[ "$failed" = 0 ] || fail "some checks failed"
echo "wayland-check: passed"
