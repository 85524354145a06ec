"""The live results pages in a real browser: headless Chromium driven by Selenium, and the
steps the end-to-end test and the benchmark share (find the server, press laps, read a page)."""

import contextlib
import csv
import glob
import os
import re
import shutil
import subprocess
import tempfile
import time

from selenium import webdriver
from selenium.common.exceptions import TimeoutException
from selenium.webdriver.chrome.service import Service
from selenium.webdriver.support.ui import WebDriverWait


def chromium(width=1280, height=1000):
    options = webdriver.ChromeOptions()
    options.binary_location = "/usr/bin/chromium"
    for argument in ("--headless=new", "--no-sandbox", "--disable-gpu",
                     "--disable-dev-shm-usage", f"--window-size={width},{height}",
                     "--force-prefers-reduced-motion"):
        options.add_argument(argument)
    driver = webdriver.Chrome(service=Service("/usr/bin/chromedriver"), options=options)
    driver.set_page_load_timeout(20)
    return driver


def live_address(work, timeout=10):
    """The loopback address the program printed when its server started."""
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        with open(os.path.join(work, "stdout.log"), encoding="utf-8", errors="replace") as log:
            found = re.search(r"live results at (http://127\.0\.0\.1:\d+/)", log.read())
        if found:
            return found.group(1)
        time.sleep(0.1)
    raise AssertionError("the program printed no live results address")


def until(driver, what, condition, timeout=10):
    """Waits for the condition, polling; fails naming what was awaited."""
    try:
        return WebDriverWait(driver, timeout, poll_frequency=0.02).until(lambda _: condition())
    except TimeoutException as error:
        raise AssertionError(f"timed out: {what}") from error


def open_live(driver, url):
    driver.get(url)
    until(driver, "the page did not connect",
          lambda: driver.execute_script(
              "return document.getElementById('connection')?.textContent") == "live")


def table_rows(driver, table):
    return driver.execute_script(
        "return [...document.querySelectorAll(arguments[0] + ' tbody tr:not(.spacer)')]"
        ".map(row => [...row.cells].map(cell => cell.textContent));", f"#{table}")


def send(binary, command, folder):
    """Whether the running watch took the command."""
    return subprocess.run([binary, "--send", command], cwd=folder, stderr=subprocess.DEVNULL,
                          env={k: v for k, v in os.environ.items() if k != "DISPLAY"}).returncode == 0


def hotkey(keycode):
    subprocess.run(["xdotool", "key", str(keycode)], check=True)


def mix_file(work):
    files = glob.glob(os.path.join(work, "*M.csv"))
    return files[0] if files else None


def grid_file_rows(path):
    """The rows of a grid file. Lap rows hold no blank, so the CSV rules read them as the
    program's comma text does."""
    with open(path, encoding="latin-1", newline="") as file:
        return [row + [""] * (10 - len(row)) for row in csv.reader(file)]


@contextlib.contextmanager
def watch_in_folder(binary, settings=""):
    """The real program started in a folder of its own under the current X display, with the
    settings text given, if any, beside it; yields the folder, where --send then finds the watch. The
    program ends and the folder goes when the block is left."""
    work = tempfile.mkdtemp(prefix="kelvos-bench.")
    shutil.copy(binary, os.path.join(work, "kelvos"))
    if settings:
        with open(os.path.join(work, "kelvos.ini"), "w", encoding="utf-8") as file:
            file.write(settings)
    environment = dict(os.environ, SDL_AUDIODRIVER="disk", QT_QPA_PLATFORM="xcb",
                       SDL_DISKAUDIOFILE=os.path.join(work, "audio.raw"),
                       XDG_RUNTIME_DIR=os.path.join(work, "runtime"))
    os.makedirs(environment["XDG_RUNTIME_DIR"], mode=0o700)
    os.environ["XDG_RUNTIME_DIR"] = environment["XDG_RUNTIME_DIR"]  # where --send finds it
    with open(os.path.join(work, "stdout.log"), "w") as log:
        program = subprocess.Popen(["./kelvos"], cwd=work, env=environment, stdout=log, stderr=log)
    try:
        yield work
    finally:
        program.terminate()
        program.wait(10)
        shutil.rmtree(work, ignore_errors=True)
