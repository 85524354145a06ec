#!/usr/bin/env bash
# Installs what is missing, builds KelvoS (Release) and starts it in run/.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
    echo "kelvos: no display found (DISPLAY is not set)." >&2
    echo "kelvos: to run it without a screen, start it under Xvfb:" >&2
    echo "    xvfb-run -a -s '-screen 0 1280x1024x24' $root/run.sh" >&2
    exit 1
fi
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" "$root/build-release" Release -DBUILD_TESTING=OFF -DKELVOS_BENCH=OFF
mkdir -p "$root/run"
# The read-outs play their clips by bare name from the working folder.
cp "$root/build-release/clips/"*.wav "$root/run/"
cd "$root/run"
echo "kelvos: starting build-release/kelvos in $root/run"
# Global hotkeys use X11; on a Wayland desktop the program runs through XWayland.
export QT_QPA_PLATFORM="${QT_QPA_PLATFORM:-xcb}"
exec "$root/build-release/kelvos"
