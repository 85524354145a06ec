#!/usr/bin/env bash
# Remote timekeepers: headless Chromium presses the remote lap buttons through a relay that
# delays every message by 100 ms +- 30 ms, and each lap in the Mix file the stop writes lies
# within 5 ms of the moment the button was pressed. The pairing link comes from
# 'kelvos --send remote-link'; after 'kelvos --send remote-new-link' the old link, a wrong token
# and none at all get nothing recorded. The page paired with the new link stops the watch, as
# the operator allows it.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
work="$out/work"
mkdir -p "$work"
printf '[Live]\nPort=%s\nRemote=1\nRemoteStartStop=1\n' $((20000 + RANDOM % 20000)) >"$work/kelvos.ini"
start_kelvos "$work"
# Debian's own Python, which holds the Debian packages (python3-selenium)
/usr/bin/python3 "$(dirname "$0")/remote_timekeepers.py" "$out" "$work" "$KELVOS_BIN" ||
    fail "the remote timekeepers' laps were not timed at their presses (see above)"
