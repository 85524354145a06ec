#!/usr/bin/env bash
# The installed program: `cmake --install` into a temporary prefix places the program, its clip
# set, a desktop entry, an icon and AppStream metadata that the desktop's own checkers accept;
# started from another folder, the program plays its installed clips (and, with them gone,
# none); where it cannot write its own folder, its settings go to the user's folder. The Debian package of the same build holds the same files under /usr.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
# As root the program also runs as "nobody", who must reach the prefix and its folders: they lie
# in a folder of their own under /tmp, open to every user wherever the checkout is (a root
# user's home, a private temporary folder).
shared=$(mktemp -d /tmp/kelvos-install.XXXXXX)
chmod 755 "$shared"
after_test() { rm -rf "$shared"; }
trap after_test EXIT
prefix="$shared/prefix"
id=io.github.kelvos.kelvos

cmake --install "$KELVOS_BUILD_DIR" --prefix "$prefix" >"$out/install.log" ||
    fail "cmake --install failed: $(cat "$out/install.log")"
chmod -R a+rX "$prefix" # whatever the umask of the user who runs the tests
installed_files() {
    (cd "$1" && find . -type f | sed 's|^\./||' | grep -v '/clips/' | sort | paste -sd' ')
}
expected="bin/kelvos share/applications/$id.desktop share/icons/hicolor/scalable/apps/$id.svg share/metainfo/$id.metainfo.xml"
[ "$(installed_files "$prefix")" = "$expected" ] || fail "installed: $(installed_files "$prefix")"
clips=$(ls "$prefix/share/kelvos/clips" | wc -l)
[ "$clips" = "$(ls "$KELVOS_BUILD_DIR/clips"/*.wav | wc -l)" ] || fail "$clips clips installed"

desktop-file-validate "$prefix/share/applications/$id.desktop" >"$out/desktop.log" 2>&1 &&
    [ ! -s "$out/desktop.log" ] || fail "desktop-file-validate: $(cat "$out/desktop.log")"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >"$out/appstream.log" 2>&1 ||
    fail "appstreamcli validate: $(cat "$out/appstream.log")"
grep -q "Validation was successful\.$" "$out/appstream.log" || fail "appstream: $(cat "$out/appstream.log")"

# sounded <dir>: whether anything but silence reached the sound output.
sounded() { [ -s "$1/audio.raw" ] && [ -n "$(tr -d '\0' <"$1/audio.raw" | head -c 1)" ]; }

# From a folder without clips, the start's signal clip comes from the installed set.
export KELVOS_PROGRAM="$prefix/bin/kelvos"
start_kelvos "$out/elsewhere"
"$KELVOS_PROGRAM" --send start || fail "--send start failed"
expect_running "the installed program did not start the watch"
stop_kelvos
sounded "$out/elsewhere" || fail "the installed program played no clip"

# Where the program's folder cannot be written (an installed program), the settings go to the
# user's configuration folder, starting from the file beside the program. Root writes anywhere,
# so as root the program runs as "nobody".
printf '[AsString]\r\nEdit1Text=Seeded\r\n' >"$prefix/bin/kelvos.ini"
export XDG_CONFIG_HOME="$shared/config"
mkdir -p "$XDG_CONFIG_HOME" "$shared/as-user"
cat >"$out/as-user.sh" <<WRAPPER
#!/bin/sh
exec $([ "$(id -u)" = 0 ] && echo "setpriv --reuid=nobody --regid=nogroup --clear-groups") "$prefix/bin/kelvos"
WRAPPER
chmod +x "$out/as-user.sh"
if [ "$(id -u)" = 0 ]; then
    mkdir -p -m 700 "$shared/as-user/runtime"
    chown nobody "$XDG_CONFIG_HOME" "$shared/as-user" "$shared/as-user/runtime"
else
    chmod a-w "$prefix/bin"
fi
KELVOS_PROGRAM="$out/as-user.sh" start_kelvos "$shared/as-user"
stop_kelvos
[ "$(id -u)" = 0 ] || chmod u+w "$prefix/bin"
user_settings="$XDG_CONFIG_HOME/kelvos/kelvos.ini"
[ -f "$user_settings" ] || fail "no settings in the user's folder: $(ls -R "$XDG_CONFIG_HOME")"
grep -q "^Edit1Text=Seeded" "$user_settings" || fail "the settings beside the program were not taken"
grep -qF '[Form\CheckBox6]' "$user_settings" || fail "the settings were not saved: $(cat "$user_settings")"
if grep -q "CheckBox6" "$prefix/bin/kelvos.ini"; then fail "the file beside the program was written"; fi
rm "$prefix/bin/kelvos.ini"

rm -r "$prefix/share/kelvos/clips"
start_kelvos "$out/without-clips"
"$KELVOS_PROGRAM" --send start || fail "--send start failed"
expect_running "the watch did not start without clips"
stop_kelvos
if sounded "$out/without-clips"; then fail "a clip sounded with no clip installed"; fi

# The package, from this build.
"$KELVOS_SOURCE_DIR/scripts/build-deb.sh" "$out/deb" "$KELVOS_BUILD_DIR" >"$out/deb.log" 2>&1 ||
    fail "build-deb.sh: $(cat "$out/deb.log")"
package=$(ls "$out/deb"/kelvos_*.deb)
dpkg-deb --field "$package" Package | grep -qx kelvos || fail "not the kelvos package"
dpkg-deb --field "$package" Depends | grep -q libqt6widgets6 || fail "no Qt dependency"
dpkg -x "$package" "$out/unpacked"
[ "$(installed_files "$out/unpacked/usr")" = "$expected" ] ||
    fail "packaged: $(installed_files "$out/unpacked/usr")"
[ "$(ls "$out/unpacked/usr/share/kelvos/clips" | wc -l)" = "$clips" ] || fail "clips not packaged"
"$out/unpacked/usr/bin/kelvos" --version | grep -q '^KelvoS ' || fail "the packaged program does not run"
echo "install: $clips clips and the desktop files installed and valid, clips found from elsewhere, $(basename "$package") holds them"
