"""Press to row in the live results page: the real program under the current X display, its
page in headless Chromium, laps pressed one at a time with the lap hotkey (keypad 1). The page
itself measures each lap: from the press time the program stamps on the event to the frame
after the row went into the document, and to the event's arrival. Prints "median p99" of each,
in milliseconds.

usage: live_press_to_row.py <kelvos binary> <laps>"""

import os
import statistics
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "tests", "e2e", "tools"))
from livebrowser import chromium, hotkey, live_address, open_live, send, until, watch_in_folder

binary, laps = os.path.abspath(sys.argv[1]), int(sys.argv[2])
with watch_in_folder(binary) as work:
    driver = chromium()
    try:
        open_live(driver, live_address(work))
        until(driver, "the watch did not start", lambda: send(binary, "start", work))
        measured = lambda: driver.execute_script("return window.kelvosLapTimings.length")
        for lap in range(1, laps + 1):
            hotkey(87)
            until(driver, f"lap {lap} did not reach the page", lambda: measured() == lap)
        timings = driver.execute_script("return window.kelvosLapTimings")
        figures = []
        for until_when in ("shownAt", "receivedAt"):
            delays = sorted(t[until_when] - t["pressedAt"] for t in timings)
            figures += [statistics.median(delays),
                        delays[min(len(delays) - 1, int(0.99 * len(delays)))]]
        print(" ".join(f"{figure:.1f}" for figure in figures))
    finally:
        driver.quit()
