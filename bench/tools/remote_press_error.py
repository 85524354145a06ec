"""The error of remote laps timed at the touch: the real program under the current X display,
its remote page in headless Chromium reached through a relay that delays every message by
100 ms +- 30 ms, laps pressed one at a time. Prints "median p99 worst at-arrival": the absolute
error of the laps' totals against the true moments of the presses, in milliseconds, and how many
laps fell back to their arrival time.

usage: remote_press_error.py <kelvos binary> <laps>"""

import os
import statistics
import sys
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "e2e", "tools"))
from delay_proxy import DelayProxy
from livebrowser import chromium, grid_file_rows, live_address, mix_file, send, until, watch_in_folder
from remotebrowser import ask, lap_errors, laps_at_arrival, press_through_delays, token_of

binary, laps = os.path.abspath(sys.argv[1]), int(sys.argv[2])
with watch_in_folder(binary, "[Live]\nPort=28765\nRemote=1\n") as work:
    proxy = DelayProxy(urllib.parse.urlsplit(live_address(work)).port)
    token = token_of(ask(binary, work, "remote-link"))
    driver = chromium(420, 800)
    try:
        competitors = [1 + lap % 3 for lap in range(laps)]
        pressed, truth = press_through_delays(driver, binary, work, proxy, token, competitors)
        assert send(binary, "stop", work), "--send stop was refused"
        until(driver, "the stop left no Mix file", lambda: mix_file(work))
        errors = sorted(abs(e) for e in lap_errors(grid_file_rows(mix_file(work)), pressed, truth))
        p99 = errors[min(len(errors) - 1, int(0.99 * len(errors)))]
        print(f"{statistics.median(errors):.2f} {p99:.2f} {errors[-1]:.2f} {laps_at_arrival(work)}")
    finally:
        driver.quit()
