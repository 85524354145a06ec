"""Reads /board in headless Chromium; see board.sh.

board.py <board address> <output folder> running <station>: both stations are shown and the
    station's total ticks.
board.py <address> <output folder> stopped <station>=<Mix file>...: each station is shown
    stopped with every competitor's lap count and last total as its Mix file holds them.
board.py <address> <output folder> nobroker: the board says that no broker feeds it.
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools"))
from livebrowser import chromium, grid_file_rows, open_live, until

address, out, mode, *stations = sys.argv[1:]
driver = chromium()


def panel_text(station, selector):
    return driver.execute_script(
        "return document.querySelector(`[data-station='${arguments[0]}'] ${arguments[1]}`)"
        "?.textContent ?? null", station, selector)


def competitors(station):
    """{name: (laps, total at the last lap)} of the competitors with laps."""
    rows = driver.execute_script(
        "return [...document.querySelectorAll(`[data-station='${arguments[0]}'] tbody tr`)]"
        ".map(row => [...row.cells].map(cell => cell.textContent));", station)
    return {row[0]: (int(row[1]), row[4]) for row in rows if row[1] != "0"}


def mix_competitors(path):
    """{name: (laps, total)} from each competitor's last row in the Mix file."""
    last = {}
    for row in grid_file_rows(path):
        last[row[1]] = (int(row[0]), row[2])
    return last


try:
    open_live(driver, address)
    if mode == "nobroker":
        until(driver, "the board does not say it has no broker", lambda: driver.execute_script(
            "return !document.getElementById('noBroker').hidden"))
        assert not driver.find_elements("css selector", "[data-station]"), "stations shown"
    elif mode == "running":
        (station,) = stations
        until(driver, f"{station} is not shown running",
              lambda: panel_text(station, ".state") == "running")
        until(driver, "the track station is not shown", lambda: panel_text("track", ".name"))
        first = panel_text(station, ".total")
        until(driver, f"the total of {station} does not tick",
              lambda: panel_text(station, ".total") != first)
    else:
        for station, mix in (entry.split("=", 1) for entry in stations):
            until(driver, f"{station} is not shown stopped",
                  lambda: panel_text(station, ".state") == "stopped")
            expected = mix_competitors(mix)
            until(driver, f"{station}'s laps differ from its Mix file {expected}: "
                  f"{competitors(station)}", lambda: competitors(station) == expected)
            shown_total = panel_text(station, ".total")
            assert shown_total >= max(total for _, total in expected.values()), shown_total
            print(f"{station}: {expected}, total {shown_total}")
        driver.save_screenshot(os.path.join(out, "board-stopped.png"))
        # On a phone held upright, in its dark look: the page does not scroll sideways.
        driver.set_window_size(390, 844)
        driver.execute_cdp_cmd("Emulation.setEmulatedMedia", {
            "features": [{"name": "prefers-color-scheme", "value": "dark"}]})
        until(driver, "the board is wider than a phone", lambda: driver.execute_script(
            "return document.documentElement.scrollWidth <= window.innerWidth"))
        driver.save_screenshot(os.path.join(out, "board-phone-dark.png"))
    if mode != "stopped":
        driver.save_screenshot(os.path.join(out, f"board-{mode}.png"))
finally:
    driver.quit()
