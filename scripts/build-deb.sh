#!/usr/bin/env bash
# scripts/build-deb.sh <out-dir> [build-dir]: builds the Debian package of KelvoS into <out-dir>.
# Without a build dir it makes a Release build of this checkout in <out-dir>/build first; with
# one it packages what that build dir holds. The package is an install into a staging folder
# (prefix /usr) wrapped by dpkg-deb, its dependencies found by dpkg-shlibdeps.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
[ $# -ge 1 ] || { echo "usage: $0 <out-dir> [build-dir]" >&2; exit 2; }
out="$(realpath -m "$1")"
mkdir -p "$out"
if [ $# -ge 2 ]; then
    build="$(realpath "$2")"
else
    build="$out/build"
    echo "kelvos: building Release in $build"
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
        -DBUILD_TESTING=OFF -DKELVOS_BENCH=OFF >"$out/configure.log" 2>&1 ||
        { cat "$out/configure.log" >&2; exit 1; }
    cmake --build "$build" --target kelvos kelvos_clips -j "$(nproc)"
fi

# The staging folder is laid out as dpkg-shlibdeps expects: the package's files and DEBIAN in
# debian/<package>, beside a debian/control that names the package.
work="$out/package"
stage="$work/debian/kelvos"
rm -rf "$work" && mkdir -p "$work/debian"
printf 'Source: kelvos\n\nPackage: kelvos\nArchitecture: any\n' >"$work/debian/control"
mkdir -p "$stage/DEBIAN"
DESTDIR="$stage" cmake --install "$build" --prefix /usr --strip >"$out/install.log"
program="$stage/usr/bin/kelvos"
version="$("$program" --version | awk '{ print $2 }')"
arch="$(dpkg --print-architecture)"

libraries="$(cd "$work" && dpkg-shlibdeps -O debian/kelvos/usr/bin/kelvos |
    sed -n 's/^shlibs:Depends=//p')"
# The sound library is loaded when the first sound is asked for, so the program's links do not
# name it.
libraries="$libraries, libsdl2-2.0-0"

cat >"$stage/DEBIAN/control" <<CONTROL
Package: kelvos
Version: $version
Architecture: $arch
Maintainer: ${DEBFULLNAME:-KelvoS local build} <${DEBEMAIL:-$(id -un)@$(hostname)}>
Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)
Depends: $libraries
Section: utils
Priority: optional
Description: lap-timing stopwatch for up to three competitors
 KelvoS times the laps of up to three competitors on a course of known length,
 from its window, through system-wide hotkeys or from other programs
 (kelvos --send), reads laps aloud, keeps every run as CSV and brings an
 unfinished run back after a crash.
CONTROL
package="$out/kelvos_${version}_${arch}.deb"
dpkg-deb --root-owner-group --build "$stage" "$package" >/dev/null
echo "kelvos: built $package"
