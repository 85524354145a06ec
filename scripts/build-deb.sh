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

stage="$out/stage"
rm -rf "$stage"
DESTDIR="$stage" cmake --install "$build" --prefix /usr --strip >"$out/install.log"
program="$stage/usr/bin/kelvos"
version="$("$program" --version | awk '{ print $2 }')"
arch="$(dpkg --print-architecture)"

# dpkg-shlibdeps reads the package's name from a debian/control of the folder it runs in.
shlibs="$out/shlibs"
rm -rf "$shlibs" && mkdir -p "$shlibs/debian"
printf 'Source: kelvos\n\nPackage: kelvos\nArchitecture: any\n' >"$shlibs/debian/control"
libraries="$(cd "$shlibs" && dpkg-shlibdeps -O "$program" | sed -n 's/^shlibs:Depends=//p')"
depends="$libraries"

mkdir -p "$stage/DEBIAN"
cat >"$stage/DEBIAN/control" <<CONTROL
Package: kelvos
Version: $version
Architecture: $arch
Maintainer: ${DEBFULLNAME:-KelvoS local build} <${DEBEMAIL:-$(id -un)@$(hostname)}>
Installed-Size: $(du -sk --exclude=DEBIAN "$stage" | cut -f1)
Depends: $depends
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
