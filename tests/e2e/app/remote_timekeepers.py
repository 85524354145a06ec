"""Drives the remote timekeepers' page against the running program; see remote_timekeepers.sh.

The truth a lap is judged against is the page's own clock at the click (the event's time
stamp), carried onto the program's press clock by the offset the page measured while the relay
did not yet delay anything (a round trip of well under a millisecond), and onto the watch by
the start's reading that the program's clock answers tell (press clock minus watch total)."""

import os
import random
import re
import subprocess
import sys
import time
import urllib.parse

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "tools"))
from delay_proxy import DelayProxy
from livebrowser import chromium, grid_file_rows, live_address, mix_file, send, until

TOLERANCE_MS = 5
PRESSES = [1, 2, 1, 3, 1, 2, 1, 1, 3, 2, 1, 3]

out, work, binary = sys.argv[1:4]


def ask(command):
    """What `kelvos --send <command>` prints."""
    done = subprocess.run([binary, "--send", command], cwd=out, capture_output=True, text=True,
                          env={k: v for k, v in os.environ.items() if k != "DISPLAY"})
    assert done.returncode == 0, f"--send {command}: {done.returncode} {done.stderr}"
    return done.stdout.strip()


def token_of(link):
    return urllib.parse.parse_qs(urllib.parse.urlsplit(link).fragment)["token"][0]


def milliseconds(total):
    hours, minutes, seconds, ms = (int(part) for part in total.split(":"))
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms


address = live_address(work)
link = ask("remote-link")
assert re.fullmatch(re.escape(address) + r"remote#token=[0-9a-f]{32}", link), link
token = token_of(link)
proxy = DelayProxy(urllib.parse.urlsplit(address).port)
page = f"http://127.0.0.1:{proxy.port}/remote#token={token}"
driver = chromium(420, 800)
clock = lambda: driver.execute_script("return window.kelvosClock")
try:
    assert send(binary, "start", out), "--send start was refused"
    driver.get(page)
    driver.find_element("id", "deviceName").send_keys("Finish line")
    until(driver, "the page did not measure the clock", lambda: clock()["samples"] >= 20)
    undelayed = clock()
    assert undelayed["roundTrip"] < 5, f"an undelayed round trip of {undelayed['roundTrip']} ms"
    watch = undelayed["watch"]
    assert watch["running"], "the watch does not run"
    true_offset = undelayed["offset"]
    start_reading = watch["clock"] - watch["total"]

    # From now on every message is late; the page forgets the quick round trips of before.
    proxy.delaying = True
    until(driver, "the page kept its undelayed round trips",
          lambda: clock()["spread"] >= 2 * (proxy.delay_ms - proxy.jitter_ms), timeout=20)
    for competitor in PRESSES:
        time.sleep(random.uniform(0.25, 0.6))
        driver.find_element("id", f"lap{competitor}").click()
    presses = lambda: driver.execute_script("return window.kelvosPresses")
    until(driver, "not every press was answered",
          lambda: all(p["done"] is not None for p in presses()))
    pressed = presses()
    assert all(p["done"] for p in pressed), f"presses refused: {pressed}"

    # A new link lets the page go; the old token, a wrong one and none are refused and record
    # nothing.
    new_link = ask("remote-new-link")
    assert new_link != link and token_of(new_link) != token, new_link
    assert ask("remote-link") == new_link
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

    assert send(binary, "stop", out), "--send stop was refused"
    until(driver, "the stop left no Mix file", lambda: mix_file(work))
    rows = grid_file_rows(mix_file(work))
    assert [int(row[1]) for row in rows] == PRESSES, f"the Mix rows are {rows}"
    errors = []
    for row, press in zip(rows, pressed):
        truth = press["touched"] + true_offset - start_reading
        errors.append(milliseconds(row[2]) - truth)
    with open(os.path.join(work, "stdout.log"), encoding="utf-8", errors="replace") as log:
        at_arrival = log.read().count("was timed at its arrival")
    print(f"remote laps: {len(errors)} through 100 ms +- {proxy.jitter_ms} ms delays; error "
          f"mean {sum(abs(e) for e in errors) / len(errors):.2f} ms, worst "
          f"{max(abs(e) for e in errors):.2f} ms; timed at arrival: {at_arrival}; shortest round "
          f"trip {clock()['roundTrip']:.1f} ms")
    worst = max(abs(e) for e in errors)
    assert worst <= TOLERANCE_MS, f"a lap {worst:.2f} ms from its press: {errors}"
    assert at_arrival == sum(1 for p in pressed if p["atArrival"]), "the arrivals told differ"
finally:
    driver.quit()
