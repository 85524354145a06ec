// The run as the program publishes it on /events: a snapshot first, then every event in order.
// The connection comes back by itself and asks only for what it missed (since/session), so a
// lap is neither lost nor shown twice. The watch's running total is kept from the program's
// own clock, read by ping/pong, so that it ticks here without a message every few milliseconds.

const kPingEveryMs = 3000;
const kRetryFirstMs = 250;
const kRetryMostMs = 5000;

// The header lines of the program's grids, by speed unit, as their row 0 shows them.
const kMixHeader = {
    "km/h": "Lap,Number,Total,Laptime,Lap+-,Realtime,Lap-milli,Lap-Km/h,Ave-milli,Ave-Km/h",
    mph: "Lap,Number,Total,Laptime,Lap+-,Realtime,Lap-milli,Lap-M/h,Ave-milli,Ave-M/h",
};
// The Mix grid's header once a Mix file has been loaded into it.
const kMixLoadedHeader =
    "Lap,Number,Total,Laptime,Lap+-milli,Realtime,Lap-milli,Lap-Km/h,Average-milli,Ave-Km/h";
const kMainHeader = {
    "km/h": "LAP,Number,Total,Laptime,LAP+-,Realtime,LAP_milli,LAP_Km/h,Aver_milli,Ave_Km/h",
    mph: "LAP,Number,Total,Laptime,LAP+-,Realtime,LAP_milli,LAP_M/h,Aver_milli,Ave_M/h",
};

export const Column = Object.freeze({
    lap: 0, name: 1, total: 2, lapTime: 3, difference: 4, realtime: 5,
    lapMs: 6, lapSpeed: 7, averageMs: 8, averageSpeed: 9,
});

export function mixHeader(run) {
    return (run.mixLoaded ? kMixLoadedHeader : kMixHeader[run.details.unit] ?? kMixHeader["km/h"])
        .split(",");
}

export function mainHeader(run) {
    return (kMainHeader[run.details.unit] ?? kMainHeader["km/h"]).split(",");
}

// The full time form of the program: hours, minutes, seconds and milliseconds, truncated.
export function fullTimeText(ms) {
    const value = Math.max(0, Math.trunc(ms));
    const pad = (n, width) => String(n).padStart(width, "0");
    const secs = Math.trunc(value / 1000);
    return `${pad(Math.trunc(secs / 3600), 2)}:${pad(Math.trunc(secs / 60) % 60, 2)}:` +
        `${pad(secs % 60, 2)}:${pad(value % 1000, 3)}`;
}

// The epoch milliseconds of now, finer than Date.now().
export function epochNow() {
    return performance.timeOrigin + performance.now();
}

function emptyRun() {
    return {
        session: "", seq: 0, state: "idle",
        details: { names: ["1", "2", "3"], course: "", courseChosen: false, unit: "km/h" },
        mainRows: [], mixRows: [], lastLap: null, gaps: {}, mixLoaded: false,
    };
}

function putRow(rows, row, texts) {
    if (row < 1)
        return;
    while (rows.length < row)
        rows.push([]);
    rows[row - 1] = texts;
}

// Builds the run from an event as the program's own snapshot does; gaps are kept as they come.
function applyEvent(run, event) {
    run.seq = event.seq;
    run.state = event.state;
    run.details = event.details;
    switch (event.type) {
    case "started":
    case "reset":
        run.mainRows = [];
        run.mixRows = [];
        run.lastLap = null;
        run.gaps = {};
        run.mixLoaded = false;
        break;
    case "lap":
        putRow(run.mainRows, event.lap.mainRow, event.lap.row);
        putRow(run.mixRows, event.lap.mixRow, event.lap.row);
        if (event.lap.competitor === 1)
            run.lastLap = event.lap;
        for (const gap of event.lap.gaps)
            run.gaps[gap.competitor] = gap;
        break;
    case "mainGridLoaded":
        run.mainRows = event.rows;
        break;
    case "mixGridLoaded":
        run.mixRows = event.rows;
        run.mixLoaded = true;
        break;
    default:
        break;
    }
}

// The watch's total as the program reads it, carried forward on this page's own clock.
class WatchClock {
    constructor() {
        this.base = 0;
        this.at = performance.now();
        this.running = false;
    }

    set(total, running, at = performance.now()) {
        this.base = total;
        this.at = at;
        this.running = running;
    }

    total() {
        return this.running ? this.base + (performance.now() - this.at) : this.base;
    }
}

// `draw` at most once per frame, however often the returned function is called within it.
export function onceAFrame(draw) {
    let pending = false;
    return () => {
        if (pending)
            return;
        pending = true;
        requestAnimationFrame(() => {
            pending = false;
            draw();
        });
    };
}

// A WebSocket to this server at `path()` that comes back by itself, waiting longer after each
// failed try, and pings the program while it is open so that the page can read its clock.
// handlers.message(message) for each message; handlers.connection(connected) when it comes or
// goes.
export class KeptSocket {
    constructor(path, handlers) {
        this.path = path;
        this.handlers = handlers;
        this.retryMs = kRetryFirstMs;
        this.pinger = 0;
        this.connect();
    }

    connect() {
        const scheme = location.protocol === "https:" ? "wss:" : "ws:";
        const socket = new WebSocket(`${scheme}//${location.host}${this.path()}`);
        this.socket = socket;
        socket.addEventListener("open", () => {
            this.retryMs = kRetryFirstMs;
            this.ping();
            this.pinger = setInterval(() => this.ping(), kPingEveryMs);
            this.handlers.connection?.(true);
        });
        socket.addEventListener("message", (message) => this.handlers.message(JSON.parse(message.data)));
        socket.addEventListener("close", () => this.reconnectLater(socket));
    }

    reconnectLater(socket) {
        if (socket !== this.socket)
            return;
        clearInterval(this.pinger);
        this.handlers.connection?.(false);
        setTimeout(() => this.connect(), this.retryMs);
        this.retryMs = Math.min(this.retryMs * 2, kRetryMostMs);
    }

    ping() {
        if (this.socket.readyState === WebSocket.OPEN)
            this.socket.send(JSON.stringify({ type: "ping", t: performance.now() }));
    }

    // Connects again, at once.
    renew() {
        this.socket.close();
    }
}

// listener.snapshot(run) after a snapshot; listener.event(run, event, receivedAt) after each
// event; listener.connection(connected) when the link comes or goes.
export class LiveRun {
    constructor(listener) {
        this.listener = listener;
        this.run = emptyRun();
        this.clock = new WatchClock();
        this.link = new KeptSocket(() => this.path(), {
            message: (message) => this.receive(message),
            connection: (connected) => this.listener.connection?.(connected),
        });
    }

    path() {
        const query = this.run.session
            ? `?since=${this.run.seq}&session=${encodeURIComponent(this.run.session)}` : "";
        return `/events${query}`;
    }

    receive(message) {
        const receivedAt = epochNow();
        switch (message.type) {
        case "pong": {
            const now = performance.now();
            this.clock.set(message.total + (now - message.t) / 2, message.running, now);
            return;
        }
        case "snapshot":
            this.run = Object.assign(emptyRun(), message.run, { session: message.session, gaps: {} });
            this.clock.set(message.run.total, message.run.state === "running");
            this.listener.snapshot(this.run);
            return;
        default:
            this.take(message, receivedAt);
        }
    }

    take(event, receivedAt) {
        if (event.seq <= this.run.seq)
            return; // already shown
        if (event.seq !== this.run.seq + 1) {
            // Something went missing on the way: asking again from the last event shown brings it.
            this.link.renew();
            return;
        }
        applyEvent(this.run, event);
        if (event.type !== "lap" && event.type !== "details")
            this.clock.set(event.total, event.state === "running");
        this.listener.event(this.run, event, receivedAt);
    }
}
