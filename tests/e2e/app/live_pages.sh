#!/usr/bin/env bash
# The live results pages in headless Chromium while the real program times a run: laps pressed
# with the hotkeys and with --send show up live, and the page's rows, totals and last lap equal
# the Mix file the stop writes; the chart draws; a page opened later gets the same run; the
# Display page shows the last lap; the overlay is transparent; the page fits a phone.
source "$(dirname "$0")/../lib.sh"
out="$1"
rm -rf "$out" && mkdir -p "$out"
start_kelvos "$out/work"
# Debian's own Python, which holds the Debian packages (python3-selenium)
/usr/bin/python3 "$(dirname "$0")/live_pages.py" "$out" "$out/work" "$KELVOS_BIN" ||
    fail "the live pages did not show the run (see above)"
echo "live pages: laps shown live and after a reload equal the Mix file"
