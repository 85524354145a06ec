# Shared steps of the end-to-end tests: start the real binary under the current X display in a
# fresh working directory, find its window, read what it shows, stop it.
# Every test sources this file; KELVOS_BIN names the binary.
set -euo pipefail

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# start_kelvos <working directory>: starts the program there with sound going to a file. The
# program is copied into the folder first, so its settings file (beside the program) belongs
# to this test alone.
start_kelvos() {
    KELVOS_DIR="$1"
    mkdir -p "$KELVOS_DIR"
    [ -x "$KELVOS_DIR/kelvos" ] || cp "$KELVOS_BIN" "$KELVOS_DIR/kelvos"
    (cd "$KELVOS_DIR" && SDL_AUDIODRIVER=disk SDL_DISKAUDIOFILE="$KELVOS_DIR/audio.raw" \
        QT_QPA_PLATFORM=xcb exec ./kelvos >>"$KELVOS_DIR/stdout.log" 2>&1) &
    KELVOS_PID=$!
    trap stop_kelvos EXIT
    KELVOS_WID=""
    for _ in $(seq 1 100); do
        KELVOS_WID=$(xdotool search --onlyvisible --class KelvoS 2>/dev/null | head -n 1 || true)
        [ -n "$KELVOS_WID" ] && break
        kill -0 "$KELVOS_PID" 2>/dev/null || fail "kelvos exited at start: $(cat "$KELVOS_DIR/stdout.log")"
        sleep 0.1
    done
    [ -n "$KELVOS_WID" ] || fail "no KelvoS window appeared"
    xdotool windowfocus "$KELVOS_WID"
    sleep 0.3
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
