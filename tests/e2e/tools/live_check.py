#!/usr/bin/python3
"""Follows a run of the real program through its live results server.

live_check.py <port> <kelvos binary> <folder for --send> <working folder of the watch>

200 pages follow the run while laps are pressed with `kelvos --send`; one page leaves in the
middle and comes back with `since`; hostile requests and a flood of idle connections arrive
during the run. Every page must get every event once, in order; the one that came back exactly
what it missed; the hostile requests are refused or timed out; /run.csv and every lap's total
must equal the Mix file the stop writes. Exits 1 with the reason on the first fault.
"""
import asyncio
import glob
import json
import os
import resource
import socket
import subprocess
import sys
import time
import urllib.request

import websockets

VIEWERS = 200
LAPS = 100
IDLE_CONNECTIONS = 1000


class Fault(Exception):
    pass


def expect(condition, what):
    if not condition:
        raise Fault(what)


class Viewer:
    def __init__(self, url):
        self.url = url
        self.messages = []

    async def open(self, query=""):
        self.socket = await websockets.connect(self.url + query, max_size=None, open_timeout=30,
                                               ping_interval=None)
        self.reading = asyncio.create_task(self.read())

    async def read(self):
        try:
            async for text in self.socket:
                self.messages.append(json.loads(text))
        except websockets.ConnectionClosed:
            pass

    async def close(self):
        await self.socket.close()
        await self.reading

    def last_seq(self):
        if not self.messages:
            return -1
        last = self.messages[-1]
        return last["run"]["seq"] if last["type"] == "snapshot" else last["seq"]


def events_in_order(messages, after, what):
    """The events follow `after` one by one, each once."""
    seqs = [m["seq"] for m in messages]
    expect(seqs == list(range(after + 1, after + 1 + len(seqs))),
           f"{what}: events out of order or repeated: {seqs[:20]}...")


def check_viewer(viewer, final_seq, what):
    expect(viewer.messages and viewer.messages[0]["type"] == "snapshot",
           f"{what}: the first message is no snapshot")
    first = viewer.messages[0]["run"]["seq"]
    events_in_order(viewer.messages[1:], first, what)
    expect(viewer.last_seq() == final_seq, f"{what}: last event {viewer.last_seq()}, "
                                           f"not {final_seq}")


class Watch:
    def __init__(self, port, kelvos, folder):
        self.port = port
        self.kelvos = kelvos
        self.folder = folder
        self.env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}

    async def send(self, command):
        result = await asyncio.to_thread(subprocess.run, [self.kelvos, "--send", command],
                                         cwd=self.folder, env=self.env, capture_output=True)
        expect(result.returncode == 0,
               f"--send {command} gave {result.returncode}: {result.stderr.decode()}")

    def get(self, path):
        with urllib.request.urlopen(f"http://127.0.0.1:{self.port}{path}", timeout=10) as reply:
            return reply.read()

    def run_json(self):
        return json.loads(self.get("/run.json"))


def raw_status(port, request, timeout=10):
    with socket.create_connection(("127.0.0.1", port), timeout=timeout) as connection:
        try:
            connection.sendall(request)
        except OSError:
            pass  # refused while still sending: the answer is read all the same
        reply = b""
        try:
            while chunk := connection.recv(65536):
                reply += chunk
        except ConnectionResetError:
            pass
    expect(reply.startswith(b"HTTP/1.1 "), f"no HTTP answer to {request[:40]!r}")
    return int(reply.split(b" ")[1])


def hostile_requests(port):
    host = b"Host: 127.0.0.1\r\n"
    cases = [
        (b"GET /../../etc/passwd HTTP/1.1\r\n" + host + b"\r\n", 404),
        (b"GET /%2e%2e/%2e%2e/etc/passwd HTTP/1.1\r\n" + host + b"\r\n", 404),
        (b"GET /kelvos.ini HTTP/1.1\r\n" + host + b"\r\n", 404),
        (b"POST /run.json HTTP/1.1\r\n" + host + b"Content-Length: 2\r\n\r\n{}", 405),
        (b"DELETE / HTTP/1.1\r\n" + host + b"\r\n", 405),
        (b"PUT /run.csv HTTP/1.1\r\n" + host + b"Content-Length: 0\r\n\r\n", 405),
        (b"GET / HTTP/1.1\r\nHost: rebound.example\r\n\r\n", 403),
        (b"GET / HTTP/1.1\r\n" + host + b"X-Big: " + b"a" * 65536 + b"\r\n\r\n", 431),
    ]
    for request, status in cases:
        got = raw_status(port, request)
        expect(got == status, f"{request[:30]!r} answered {got}, not {status}")
    started = time.monotonic()
    got = raw_status(port, b"GET / HTTP/1.1\r\n" + host, timeout=20)
    expect(got == 408, f"a never-finished request answered {got}")
    expect(time.monotonic() - started < 15, "a never-finished request was kept open")


def idle_flood(watch):
    soft, hard = resource.getrlimit(resource.RLIMIT_NOFILE)
    resource.setrlimit(resource.RLIMIT_NOFILE, (min(hard, max(soft, 4 * IDLE_CONNECTIONS)), hard))
    idle = [socket.create_connection(("127.0.0.1", watch.port), timeout=10)
            for _ in range(IDLE_CONNECTIONS)]
    # A page still gets through while the idle ones wait.
    expect("session" in watch.run_json(), "/run.json failed during the idle flood")
    deadline = time.monotonic() + 20
    for connection in idle:
        connection.settimeout(max(0.1, deadline - time.monotonic()))
        try:
            connection.recv(1024)  # the 408 or the end: either way the server let go
        except ConnectionResetError:
            pass
        except socket.timeout:
            raise Fault("an idle connection was kept open")
        finally:
            connection.close()


async def check(port, kelvos, folder, work):
    watch = Watch(port, kelvos, folder)
    url = f"ws://127.0.0.1:{port}/events"
    viewers = [Viewer(url) for _ in range(VIEWERS)]
    await asyncio.gather(*(viewer.open() for viewer in viewers))
    leaver = viewers[0]

    await watch.send("start")
    presses = ["lap2" if n % 5 == 4 else "lap3" if n % 7 == 6 else "lap1" for n in range(LAPS)]
    for n, press in enumerate(presses):
        if n == 20:
            await leaver.close()
            left_at = leaver.last_seq()
            session = leaver.messages[0]["session"]
        if n == 40:
            comeback = Viewer(url)
            await comeback.open(f"?since={left_at}&session={session}")
        if n == LAPS // 2:
            await asyncio.to_thread(hostile_requests, port)
            await asyncio.to_thread(idle_flood, watch)
        await watch.send(press)
    await watch.send("stop")

    final = watch.run_json()
    expect(final["state"] == "stopped", f"the run is {final['state']} after the stop")
    deadline = time.monotonic() + 30
    followers = viewers[1:] + [comeback]
    while any(v.last_seq() < final["seq"] for v in followers) and time.monotonic() < deadline:
        await asyncio.sleep(0.1)
    for index, viewer in enumerate(viewers[1:], 1):
        check_viewer(viewer, final["seq"], f"viewer {index}")
    laps = [m for m in viewers[1].messages if m["type"] == "lap"]
    expect(len(laps) == LAPS, f"{len(laps)} lap events for {LAPS} presses")

    before = leaver.messages
    expect(before[0]["type"] == "snapshot", "the leaver's first message is no snapshot")
    events_in_order(before[1:], before[0]["run"]["seq"], "the leaver before it left")
    events_in_order(comeback.messages, left_at, "the leaver once back")
    expect(comeback.last_seq() == final["seq"], "the leaver once back missed the last events")

    mix_files = glob.glob(os.path.join(work, "*M.csv"))
    expect(len(mix_files) == 1, f"the stop wrote {len(mix_files)} Mix files")
    with open(mix_files[0], "rb") as mix:
        mix_bytes = mix.read()
    expect(watch.get("/run.csv") == mix_bytes, "/run.csv is not the Mix file")
    lines = mix_bytes.decode().split("\r\n")
    for lap in laps:
        line = lines[lap["lap"]["mixRow"] - 1]
        expect(lap["lap"]["row"][2] in line,
               f"lap {lap['seq']}: total {lap['lap']['row'][2]} not in Mix row '{line}'")
    for viewer in followers:
        await viewer.close()


def main():
    port, kelvos, folder, work = sys.argv[1:5]
    try:
        asyncio.run(check(int(port), kelvos, folder, work))
    except Fault as fault:
        print(f"FAIL: {fault}", file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
