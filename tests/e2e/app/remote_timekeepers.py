"""Drives the remote timekeepers' page against the running program; see remote_timekeepers.sh
and tools/remotebrowser.py for the truth the laps are judged against."""

import os
import re
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools"))
from delay_proxy import DelayProxy
from livebrowser import chromium, grid_file_rows, live_address, mix_file, until
from remotebrowser import ask, lap_errors, laps_at_arrival, press_through_delays, token_of

TOLERANCE_MS = 5
PRESSES = [1, 2, 1, 3, 1, 2, 1, 1, 3, 2, 1, 3]

out, work, binary = sys.argv[1:4]

address = live_address(work)
link = ask(binary, out, "remote-link")
assert re.fullmatch(re.escape(address) + r"remote#token=[0-9a-f]{32}", link), link
token = token_of(link)
proxy = DelayProxy(urllib.parse.urlsplit(address).port)
driver = chromium(420, 800)
try:
    pressed, truth = press_through_delays(driver, binary, out, proxy, token, PRESSES)
    at_arrival = laps_at_arrival(work)

    # A new link lets the page go; the old token, a wrong one and none are refused and record
    # nothing.
    new_link = ask(binary, out, "remote-new-link")
    assert new_link != link and token_of(new_link) != token, new_link
    assert ask(binary, out, "remote-link") == new_link
    until(driver, "the page was not told that its link is no longer valid",
          lambda: "no longer valid" in driver.find_element("id", "connection").text)
    driver.set_script_timeout(20)
    codes = driver.execute_async_script("""
        const done = arguments[arguments.length - 1];
        const tokens = arguments[0];
        const codes = [];
        for (const token of tokens) {
            const socket = new WebSocket(`ws://${location.host}/remote-events?token=${token}`);
            socket.onopen = () => socket.send(JSON.stringify({type: "lap", competitor: 1, id: 1}));
            socket.onclose = (event) => {
                codes.push(event.code);
                if (codes.length === tokens.length)
                    done(codes);
            };
        }""", [token, "0" * 32, ""])
    assert codes == [1008, 1008, 1008], f"the unpaired sockets were closed with {codes}"
    time.sleep(0.5)

    # The page paired anew stops the watch: start and stop are allowed in the settings.
    driver.get(new_link)
    stop = driver.find_element("id", "stop")
    until(driver, "the page offered no stop", lambda: stop.is_displayed() and stop.is_enabled())
    stop.click()
    until(driver, "the remote stop left no Mix file", lambda: mix_file(work))
    until(driver, "the page was not told the stop was taken",
          lambda: driver.find_element("id", "status").text == "Stop taken")
    rows = grid_file_rows(mix_file(work))
    assert [int(row[1]) for row in rows] == PRESSES, f"the Mix rows are {rows}"
    errors = lap_errors(rows, pressed, truth)
    worst = max(abs(e) for e in errors)
    print(f"remote laps: {len(errors)} through 100 ms +- {proxy.jitter_ms} ms delays; error "
          f"mean {sum(abs(e) for e in errors) / len(errors):.2f} ms, worst {worst:.2f} ms; "
          f"timed at arrival: {at_arrival}")
    assert worst <= TOLERANCE_MS, f"a lap {worst:.2f} ms from its press: {errors}"
    assert at_arrival == sum(1 for p in pressed if p["atArrival"]), "the arrivals told differ"
finally:
    driver.quit()
