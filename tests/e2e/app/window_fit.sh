#!/usr/bin/env bash
# The main window on a screen run by a real window manager (openbox: title bars, a work area):
# it opens centred in the work area with its frame, at its designed size or the largest scale
# that fits, so every control is on the screen; a resize scales the controls with it.
# KELVOS_PANEL is the height of a panel along the bottom of the screen (a margin of the window
# manager that the work area leaves out); QT_SCALE_FACTOR a desktop's scaling.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
factor="${QT_SCALE_FACTOR:-1}"

cat >"$out/rc.xml" <<EOF
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <margins><top>0</top><bottom>${KELVOS_PANEL:-0}</bottom><left>0</left><right>0</right></margins>
</openbox_config>
EOF
# Now and then openbox cannot open a display that Xvfb has only just made: it is started
# again, a few times at most.
has_work_area() { xprop -root _NET_WORKAREA 2>/dev/null | grep -q =; }
for _ in 1 2 3; do
    openbox --config-file "$out/rc.xml" >"$out/openbox.log" 2>&1 &
    wm=$!
    for _ in $(seq 1 50); do
        has_work_area || ! kill -0 "$wm" 2>/dev/null || { sleep 0.1; continue; }
        break
    done
    has_work_area && break
    kill "$wm" 2>/dev/null || true
    sleep 0.5
done
has_work_area || fail "openbox did not start: $(cat "$out/openbox.log")"
# The pointer rests outside the window, on the panel's side of the screen.
read -r screen_w screen_h < <(xdpyinfo | sed -n 's/.*dimensions: *\([0-9]*\)x\([0-9]*\) .*/\1 \2/p')
xdotool mousemove $((screen_w - 1)) $((screen_h - 1))

start_kelvos "$out/work"
trap 'stop_kelvos; kill "$wm" 2>/dev/null || true' EXIT

# The work area, and the window with its frame, in screen pixels.
read -r area_x area_y area_w area_h < <(xprop -root _NET_WORKAREA | sed 's/.*= //; s/,//g' |
    cut -d' ' -f1-4)
frame() {
    local left right top bottom x y w h
    read -r left right top bottom < <(xprop -id "$KELVOS_WID" _NET_FRAME_EXTENTS |
        sed 's/.*= //; s/,//g')
    read -r x y w h < <(xwininfo -id "$KELVOS_WID" | awk '/Absolute upper-left X/ { x = $4 }
        /Absolute upper-left Y/ { y = $4 } /Width:/ { w = $2 } /Height:/ { h = $2 }
        END { print x, y, w, h }')
    echo $((x - left)) $((y - top)) $((w + left + right)) $((h + top + bottom)) "$w" "$h" "$x" "$y"
}
# The window settles once its frame is known and its place worked out again with it.
settled() {
    xprop -id "$KELVOS_WID" _NET_FRAME_EXTENTS | grep -q = || return 1
    local before
    before=$(frame)
    sleep 0.3
    [ "$(frame)" = "$before" ]
}
eventually "the window did not settle in its frame" settled
read -r frame_x frame_y frame_w frame_h client_w client_h client_x client_y < <(frame)
shape="frame ${frame_w}x${frame_h}+${frame_x}+${frame_y}, work area ${area_w}x${area_h}+${area_x}+${area_y}"
[ "$frame_x" -ge "$area_x" ] && [ "$frame_y" -ge "$area_y" ] &&
    [ $((frame_x + frame_w)) -le $((area_x + area_w)) ] &&
    [ $((frame_y + frame_h)) -le $((area_y + area_h)) ] || fail "the window is off the work area: $shape"
centred() { [ $((2 * $1 + $2 - 2 * $3 - $4)) -ge -3 ] && [ $((2 * $1 + $2 - 2 * $3 - $4)) -le 3 ]; }
centred "$frame_x" "$frame_w" "$area_x" "$area_w" && centred "$frame_y" "$frame_h" "$area_y" "$area_h" ||
    fail "the window is not centred in the work area: $shape"

# face_at <design x> <design y>: the colour on the screen at a point of the design, where the
# window shows the design scaled to fit its client area and centred, as #RRGGBB.
face_at() {
    local x y w h px py
    read -r _ _ _ _ w h x y < <(frame)
    read -r px py < <(awk -v x="$1" -v y="$2" -v w="$w" -v h="$h" 'BEGIN {
        s = w / 1020; if (h / 763 < s) s = h / 763
        printf "%d %d\n", (w - 1020 * s) / 2 + x * s, (h - 763 * s) / 2 + y * s }')
    import -window root -crop "1x1+$((x + px))+$((y + py))" -depth 8 txt:- | grep -o '#[0-9A-F]\{6\}' |
        head -n 1
}
# The face of "start" (top left) and the chart's panel at its bottom right corner show where
# the design puts them.
expect_faces() {
    local start chart
    start=$(face_at 10 268)
    chart=$(face_at 985 672)
    [ "$start" = "#E2EADD" ] && [ "$chart" = "#5161AA" ] ||
        fail "at $(frame | cut -d' ' -f5-6) the controls are not where the scaled design puts them ($start, $chart)"
}
import -window root "$out/screen.png"
expect_faces

# A drag on the border to 70 % of the designed size (in the desktop's pixels) scales every
# control with the window.
read -r small_w small_h < <(awk -v f="$factor" 'BEGIN { printf "%d %d\n", 714 * f, 534 * f }')
xdotool windowsize "$KELVOS_WID" "$small_w" "$small_h"
# (A desktop scaling asks the window manager for sizes in steps of a few pixels.)
resized() {
    local w h
    read -r _ _ _ _ w h _ < <(frame)
    [ $((w - small_w)) -ge -3 ] && [ $((w - small_w)) -le 3 ] &&
        [ $((h - small_h)) -ge -3 ] && [ $((h - small_h)) -le 3 ]
}
eventually "the window was not resized to ${small_w}x${small_h}" resized
sleep 0.3
import -window root "$out/resized.png"
expect_faces
