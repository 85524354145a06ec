# Shared steps of the end-to-end tests: start the real binary under the current X display in a
# fresh working directory, find its window, read what it shows, stop it.
# Every test sources this file; KELVOS_BIN names the binary.
set -euo pipefail
# The program under test is on Xvfb: it must not take the desktop's own Wayland session (nor
# its portal's global shortcuts) for its own. A test of the Wayland road sets this itself.
export XDG_SESSION_TYPE=x11
unset WAYLAND_DISPLAY

# after_test: run at the exit, once the program is stopped; a test that leaves files outside
# its output folder removes them here.
after_test() { :; }

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# start_kelvos <working directory>: starts the program there with sound going to a file (or to
# the SDL audio driver KELVOS_AUDIO_DRIVER names). The program is copied into the folder first,
# so its settings file (beside the program) belongs to this test alone; KELVOS_PROGRAM names a
# program to start where it is instead.
start_kelvos() {
    KELVOS_DIR="$1"
    mkdir -p "$KELVOS_DIR"
    [ -n "${KELVOS_PROGRAM:-}" ] || [ -x "$KELVOS_DIR/kelvos" ] || cp "$KELVOS_BIN" "$KELVOS_DIR/kelvos"
    # The command socket lives in the user's runtime folder: one of the test's own, so that a
    # KelvoS running elsewhere for this user is neither found nor disturbed.
    export XDG_RUNTIME_DIR="$KELVOS_DIR/runtime"
    mkdir -p -m 700 "$XDG_RUNTIME_DIR"
    # The run history too is the test's own.
    export XDG_DATA_HOME="$KELVOS_DIR/data"
    trap 'stop_kelvos; after_test' EXIT
    # A program that cannot reach the X server at all is tried once more: a server that has
    # only just started is then reachable, and any other failure to start fails the test.
    launch_kelvos || { sleep 0.5 && launch_kelvos; } ||
        fail "kelvos exited at start: $(cat "$KELVOS_DIR/stdout.log")"
    xdotool windowfocus "$KELVOS_WID"
    eventually "the window did not get the keyboard" window_has_focus
}

window_has_focus() { [ "$(xdotool getwindowfocus 2>/dev/null)" = "$KELVOS_WID" ]; }

# launch_kelvos: starts the program and waits for its window; false when it could not reach
# the display.
launch_kelvos() {
    (cd "$KELVOS_DIR" && SDL_AUDIODRIVER="${KELVOS_AUDIO_DRIVER:-disk}" \
        SDL_DISKAUDIOFILE="$KELVOS_DIR/audio.raw" QT_QPA_PLATFORM=xcb \
        exec "${KELVOS_PROGRAM:-./kelvos}" >>"$KELVOS_DIR/stdout.log" 2>&1) &
    KELVOS_PID=$!
    KELVOS_WID=""
    for _ in $(seq 1 100); do
        KELVOS_WID=$(xdotool search --onlyvisible --class KelvoS 2>/dev/null | head -n 1 || true)
        [ -n "$KELVOS_WID" ] && return 0
        if ! kill -0 "$KELVOS_PID" 2>/dev/null; then
            grep -q "could not connect to display" "$KELVOS_DIR/stdout.log" && return 1
            fail "kelvos exited at start: $(cat "$KELVOS_DIR/stdout.log")"
        fi
        sleep 0.1
    done
    fail "no KelvoS window appeared"
}

# stop_kelvos: asks the program to end as a desktop would (SIGTERM): it closes its window,
# saving the settings and any run still going.
stop_kelvos() {
    if [ -n "${KELVOS_PID:-}" ] && kill -0 "$KELVOS_PID" 2>/dev/null; then
        kill -TERM "$KELVOS_PID" 2>/dev/null || true
        for _ in $(seq 1 50); do
            kill -0 "$KELVOS_PID" 2>/dev/null || break
            sleep 0.1
        done
        kill -KILL "$KELVOS_PID" 2>/dev/null || true
        wait "$KELVOS_PID" 2>/dev/null || true
    fi
}

window_title() {
    xprop -id "$KELVOS_WID" _NET_WM_NAME | sed -e 's/^[^"]*"//' -e 's/"$//'
}

# screenshot <file>: the main window as a PNG.
screenshot() {
    import -window "$KELVOS_WID" "$1"
}

# wait_for_window <WM_CLASS name>: the id of a visible window of that class.
wait_for_window() {
    local wid=""
    for _ in $(seq 1 50); do
        wid=$(xdotool search --onlyvisible --classname "$1" 2>/dev/null | head -n 1 || true)
        [ -n "$wid" ] && break
        sleep 0.1
    done
    [ -n "$wid" ] || fail "no window of class $1 appeared"
    echo "$wid"
}

# eventually <what> <command...>: waits up to 5 s for the command to succeed, else fails with
# <what>. Keeps the tests steady on a loaded machine without long fixed sleeps.
eventually() {
    local what="$1"
    shift
    for _ in $(seq 1 50); do
        "$@" && return 0
        sleep 0.1
    done
    fail "$what (window title: '$(window_title)')"
}

# mix_file <folder>: the automatic Mix file a stop wrote into the folder; empty while none is.
mix_file() { ls "$1"/*M.csv 2>/dev/null | head -n 1; }
has_mix_file() { [ -n "$(mix_file "$1")" ]; }
# mix_laps <file>: the lap number and name of every row, for example "1,1 1,2 2,1".
mix_laps() { tr -d '\r' <"$1" | awk -F, '{ print $1 "," $2 }' | paste -sd' '; }

# The running total as the title shows it, in either title form.
title_total() {
    local title
    title=$(window_title)
    case "$title" in
    DATE=*) echo "${title##*TOTAL=}" ;;
    *) echo "${title%% :: *}" ;;
    esac
}

total_differs_from() { [ "$(title_total)" != "$1" ]; }

# The watch runs: its total moves.
expect_running() {
    local total
    total=$(title_total)
    eventually "${1:-the watch does not run}" total_differs_from "$total"
}

# The total is the same before and after a pause.
total_stands_still() {
    local total
    total=$(title_total)
    sleep 0.3
    [ "$(title_total)" = "$total" ]
}

# The watch comes to a stop: its total stands still.
expect_stopped() {
    eventually "${1:-the watch still runs}" total_stands_still
}

# The lap count in the title of the "T" form ("... ; LAP<count>=...").
lap_count() { window_title | sed -n 's/.* ; LAP\([0-9]*\)=.*/\1/p'; }
lap_count_is() { [ "$(lap_count)" = "$1" ]; }

# label_colour <screenshot> <x>: the colour of a hotkey's state label in the bottom row, whose
# left edge is at x, as "r g b". The text is smoothed, so its brightest pixel counts.
label_colour() {
    convert "$1" -crop "36x28+$2+732" -depth 8 txt:- |
        sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p' |
        awk '{ s = $1 + $2 + $3; if (s > best) { best = s; c = $1 " " $2 " " $3 } } END { print c }'
}
# label_is <screenshot> <x> <r> <g> <b>: the label has that colour, within a small tolerance.
label_is() {
    local r g b
    read -r r g b <<<"$(label_colour "$1" "$2")"
    [ $((r - $3)) -ge -10 ] && [ $((r - $3)) -le 10 ] && [ $((g - $4)) -ge -10 ] &&
        [ $((g - $4)) -le 10 ] && [ $((b - $5)) -ge -10 ] && [ $((b - $5)) -le 10 ]
}

port_free() { ! (exec 3<>"/dev/tcp/127.0.0.1/$1") 2>/dev/null; }

# start_mosquitto <folder>: a broker of the test's own on a free loopback port, logging into the
# folder; sets BROKER_PORT and BROKER_PID. The test stops it in its after_test.
start_mosquitto() {
    BROKER_PORT=$((20000 + RANDOM % 40000))
    until port_free "$BROKER_PORT"; do BROKER_PORT=$((20000 + RANDOM % 40000)); done
    cat >"$1/mosquitto.conf" <<CONF
listener $BROKER_PORT 127.0.0.1
allow_anonymous true
user $(id -un)
log_type all
CONF
    mosquitto -c "$1/mosquitto.conf" >"$1/mosquitto.log" 2>&1 &
    BROKER_PID=$!
    for _ in $(seq 1 50); do port_free "$BROKER_PORT" || break; sleep 0.1; done
    port_free "$BROKER_PORT" && fail "mosquitto did not start: $(cat "$1/mosquitto.log")"
    return 0
}
