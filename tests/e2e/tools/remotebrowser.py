"""The remote timekeepers' page in headless Chromium, pressed through a relay that delays every
message: the steps the end-to-end test and the benchmark share.

The truth a lap is judged against is the page's own clock at the click (the event's time
stamp), carried onto the program's press clock by the offset the page measured while the relay
did not yet delay anything (a round trip of well under a millisecond), and onto the watch by
the start's reading that the program's clock answers tell (press clock minus watch total)."""

import os
import random
import subprocess
import time
import urllib.parse

from livebrowser import send, until


def ask(binary, folder, command):
    """What `kelvos --send <command>` prints; fails when the watch refuses."""
    done = subprocess.run([binary, "--send", command], cwd=folder, capture_output=True, text=True,
                          env={k: v for k, v in os.environ.items() if k != "DISPLAY"})
    assert done.returncode == 0, f"--send {command}: {done.returncode} {done.stderr}"
    return done.stdout.strip()


def token_of(link):
    return urllib.parse.parse_qs(urllib.parse.urlsplit(link).fragment)["token"][0]


def milliseconds(total):
    """A total as the grids write it (hh:mm:ss:mmm), in ms."""
    hours, minutes, seconds, ms = (int(part) for part in total.split(":"))
    return ((hours * 60 + minutes) * 60 + seconds) * 1000 + ms


def clock(driver):
    return driver.execute_script("return window.kelvosClock")


def presses(driver):
    return driver.execute_script("return window.kelvosPresses")


def press_through_delays(driver, binary, folder, proxy, token, competitors):
    """Starts the watch, opens the page through the proxy, takes the truth while nothing is
    delayed, then delays every message and presses the competitors' lap buttons one by one.
    Returns the presses as the page recorded them and the truth's offset and start reading."""
    assert send(binary, "start", folder), "--send start was refused"
    driver.get(f"http://127.0.0.1:{proxy.port}/remote#token={token}")
    driver.find_element("id", "deviceName").send_keys("Finish line")
    until(driver, "the page did not measure the clock", lambda: clock(driver)["samples"] >= 20)
    undelayed = clock(driver)
    assert undelayed["roundTrip"] < 5, f"an undelayed round trip of {undelayed['roundTrip']} ms"
    watch = undelayed["watch"]
    assert watch["running"], "the watch does not run"
    truth = (undelayed["offset"], watch["clock"] - watch["total"])

    # From now on every message is late; the page forgets its quick round trips of before.
    proxy.delaying = True
    until(driver, "the page kept its undelayed round trips",
          lambda: clock(driver)["spread"] >= 2 * (proxy.delay_ms - proxy.jitter_ms), timeout=20)
    for competitor in competitors:
        time.sleep(random.uniform(0.25, 0.6))
        driver.find_element("id", f"lap{competitor}").click()
    until(driver, "not every press was answered",
          lambda: all(p["done"] is not None for p in presses(driver)), timeout=20)
    pressed = presses(driver)
    assert all(p["done"] for p in pressed), f"presses refused: {pressed}"
    return pressed, truth


def lap_errors(rows, pressed, truth):
    """Each Mix row's total minus the watch's reading at its press's true moment, in ms."""
    offset, start_reading = truth
    return [milliseconds(row[2]) - (press["touched"] + offset - start_reading)
            for row, press in zip(rows, pressed)]


def laps_at_arrival(work):
    """How many remote laps the program timed at their arrival, as it told on its output."""
    with open(os.path.join(work, "stdout.log"), encoding="utf-8", errors="replace") as log:
        return log.read().count("was timed at its arrival")
