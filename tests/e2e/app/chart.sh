#!/usr/bin/env bash
# The lap chart of the real program: 25 laps with "AutoScroll" leave the last 21 point pairs in
# view, and "WMF" and "BMP" save the chart in the working folder as pictures other programs read.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"
work="$out/work"
trap stop_kelvos EXIT

click() { xdotool mousemove --window "$KELVOS_WID" "$1" "$2" click 1; }
# "T" puts competitor 1's lap count into the title.
click 396 15

xdotool key Up
expect_running "the start hotkey did not start the watch"
for lap in $(seq 25); do
    xdotool key --window "$KELVOS_WID" Return
    sleep 0.05
done
eventually "competitor 1 does not have 25 laps" lap_count_is 25

# The columns of the chart in which a pixel of the given colour shows, as runs of neighbouring
# columns: one run per marker.
marker_runs() {
    convert "$out/chart.png" txt:- | grep -i "#$1" | sed 's/,.*//' | sort -un |
        awk 'NR == 1 || $1 > last + 1 { runs++ } { last = $1 } END { print runs + 0 }'
}
# The chart is read until it shows the last 21 laps (it may still be painting the last one).
shows_last_21() {
    import -window "$KELVOS_WID" -crop 998x316+3+365 +repage "$out/chart.png"
    lap_markers=$(marker_runs B0FFD8)
    average_markers=$(marker_runs FF0080)
    [ "$lap_markers" = 21 ] && [ "$average_markers" = 21 ]
}
for _ in $(seq 1 20); do shows_last_21 && break || sleep 0.1; done
[ "$lap_markers" = 21 ] || fail "the chart shows $lap_markers lap markers, not the last 21"
[ "$average_markers" = 21 ] || fail "the chart shows $average_markers average markers, not 21"

click 956 714 # "WMF"
click 998 714 # "BMP"
picture() { (cd "$work" && ls -- *."$1" 2>/dev/null || true); }
saved() { [ -n "$(picture wmf)" ] && [ -n "$(picture bmp)" ]; }
eventually "WMF and BMP were not both saved in $work: $(ls "$work")" saved
[[ "$(picture wmf)" =~ ^[0-9]{10}\.wmf$ ]] || fail "not a minute's name: $(picture wmf)"
[ "$(identify -format '%wx%h' "$work/$(picture bmp)")" = 998x316 ] ||
    fail "the BMP is not the chart's size"
wmf2svg -o "$out/chart.svg" "$work/$(picture wmf)" || fail "wmf2svg cannot read the metafile"
grep -q '<polyline\|<path\|<polygon' "$out/chart.svg" || fail "the metafile's SVG has no drawing"
echo "chart: 21 point pairs in view after 25 laps; $(picture wmf) and $(picture bmp) saved"
