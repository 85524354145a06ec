"""Drives the live pages against the running program; see live_pages.sh."""

import os
import subprocess
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools"))
from livebrowser import (chromium, grid_file_rows, hotkey, live_address, mix_file, open_live,
                         send, table_rows, until)

out, work, binary = sys.argv[1:4]
KEYPAD = {1: 87, 2: 88, 3: 89}  # the default lap hotkeys: keypad 1, 2 and 3

address = live_address(work)
port = urllib.parse.urlsplit(address).port
driver = chromium()
try:
    open_live(driver, address)
    text = lambda element: driver.execute_script(
        "return document.getElementById(arguments[0]).textContent", element)

    hotkey("Up")  # start
    first = text("total")
    until(driver, "the running total does not tick", lambda: text("total") != first)

    presses = [("key", 1), ("send", 2), ("key", 1), ("send", 1), ("key", 3), ("send", 3),
               ("key", 2), ("send", 1), ("key", 1), ("send", 2)]
    for count, (how, competitor) in enumerate(presses, start=1):
        if count == 6:
            # The connection breaks in the middle of the run; a lap is taken before the page is
            # back, and the page fetches it with the rest when it reconnects by itself.
            subprocess.run(["ss", "-K", "dst", "127.0.0.1", "dport", "=", str(port)],
                           capture_output=True, check=False)
            until(driver, "the connection could not be cut (ss -K needs CAP_NET_ADMIN)",
                  lambda: text("connection") != "live")
        if how == "key":
            hotkey(KEYPAD[competitor])
        else:
            assert send(binary, f"lap{competitor}", out), f"--send lap{competitor} was refused"
        until(driver, f"press {count} ({how} lap{competitor}) is not on the page",
              lambda: len(table_rows(driver, "mix")) == count)

    hotkey("Down")  # stop
    until(driver, "the stop left no Mix file", lambda: mix_file(work))
    expected = grid_file_rows(mix_file(work))
    assert len(expected) == len(presses), f"the Mix file holds {len(expected)} rows"
    competitor1 = [row for row in expected if row[1] == "1"]

    def shows_the_run(where):
        mix, main = table_rows(driver, "mix"), table_rows(driver, "main")
        assert mix == expected, f"{where}: Mix rows differ:\n{mix}\n!=\n{expected}"
        assert main == competitor1, f"{where}: Main rows differ:\n{main}\n!=\n{competitor1}"
        last = competitor1[-1]
        shown = [text("lastNumber"), text("lastLap"), text("lastDiff")]
        assert shown == [last[0], last[3], last[4]], f"{where}: last lap {shown} != {last}"
        headers = driver.execute_script(
            "return [...document.querySelectorAll('#mix thead th')].map(c => c.textContent)")
        assert headers == "Lap,Number,Total,Laptime,Lap+-,Realtime,Lap-milli,Lap-Km/h,Ave-milli,Ave-Km/h".split(","), headers
        # The chart's markers: the lap series' fill and the average's, each point a few pixels
        # (points of both series at one lap may cover each other in part).
        lap_pixels, average_pixels = driver.execute_script("""
            const canvas = document.getElementById('chart');
            const data = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
            const count = (r, g, b) => {
                let n = 0;
                for (let i = 0; i < data.length; i += 4)
                    if (data[i] === r && data[i + 1] === g && data[i + 2] === b) ++n;
                return n;
            };
            return [count(176, 255, 216), count(255, 0, 128)];""")
        assert lap_pixels >= 5 * len(competitor1) and average_pixels > 0, \
            f"{where}: the chart shows {lap_pixels} lap and {average_pixels} average marker pixels"

    shows_the_run("live")
    stopped = text("total")
    time.sleep(0.2)
    assert text("total") == stopped, "the total still runs after the stop"
    assert stopped >= expected[-1][2], f"the total {stopped} stands before the last lap"
    driver.save_screenshot(os.path.join(out, "live-results.png"))

    open_live(driver, address)  # a viewer that comes late gets the whole run
    until(driver, "the reloaded page shows no rows", lambda: len(table_rows(driver, "mix")) == len(expected))
    shows_the_run("reloaded")

    # A phone held upright: nothing wider than its screen.
    driver.execute_cdp_cmd("Emulation.setDeviceMetricsOverride",
                           {"width": 390, "height": 844, "deviceScaleFactor": 1, "mobile": True})
    until(driver, "the page is wider than a phone", lambda: driver.execute_script(
        "return document.documentElement.scrollWidth <= window.innerWidth"))

    driver.get(address + "display")
    last = competitor1[-1]
    until(driver, "the Display page does not show the last lap",
          lambda: [text(f) for f in ("lap", "lapTotal", "lapTime", "difference", "lapMs", "averageMs")]
          == [last[0], last[2], last[3], last[4], last[6], last[8]])

    driver.get(address + "overlay")
    until(driver, "the overlay does not show the last lap", lambda: text("lastLap") == last[3])
    driver.execute_cdp_cmd("Emulation.setDefaultBackgroundColorOverride",
                           {"color": {"r": 0, "g": 0, "b": 0, "a": 0}})
    picture = os.path.join(out, "overlay.png")
    driver.save_screenshot(picture)
    alpha = lambda x, y: subprocess.run(
        ["convert", picture, "-format", f"%[fx:int(255*p{{{x},{y}}}.a)]", "info:"],
        capture_output=True, text=True, check=True).stdout
    assert alpha(380, 800) == "0", f"the overlay's background is not transparent: alpha {alpha(380, 800)}"
finally:
    driver.quit()
