// A remote timekeeper's lap buttons, and start and stop where the operator allows them. The
// page is paired by the token in its link; it keeps its own clock in step with the watch's
// press clock, so that a press is timed when the button was touched, not when the message
// arrives.
//
// Each round trip bounds the offset from both sides: the program read its clock after the
// question left and before the answer came. The tightest bounds of the last few seconds come
// from the quickest way out and the quickest way back, which need not be the same round trip;
// the offset is their middle. Under uneven delays this is several times closer than the one
// round trip with the shortest time alone.

import { fullTimeText } from "/live-client.js";

const kSyncEveryMs = 250;
const kSamplesKeptMs = 10000;
const kRetryFirstMs = 250;
const kRetryMostMs = 5000;
const kClockWrap = 2 ** 32;
// The server closes a connection without the right token with this code.
const kNotPaired = 1008;

const byId = (id) => document.getElementById(id);
const token = new URLSearchParams(location.hash.slice(1)).get("token") ?? "";

// What the tests and the curious read: the clock's state and every press with its times.
const clock = { offset: null, spread: null, roundTrip: null, samples: 0, watch: null };
window.kelvosClock = clock;
window.kelvosPresses = [];

let socket = null;
let samples = [];
let retryMs = kRetryFirstMs;
let lastPressId = 0;

function setConnection(text, state) {
    const shown = byId("connection");
    shown.textContent = text;
    shown.className = state;
}

function setButtonsEnabled(enabled) {
    for (const button of document.querySelectorAll(".press"))
        button.disabled = !enabled;
}

function send(message) {
    if (socket?.readyState === WebSocket.OPEN)
        socket.send(JSON.stringify(message));
}

function sendName() {
    send({ type: "name", name: byId("deviceName").value });
}

function takeSync(message) {
    const now = performance.now();
    // The offset lies between the clock minus the moment the answer came and the clock minus
    // the moment the question left.
    samples.push({ at: now, low: message.clock - now, high: message.clock - message.t });
    samples = samples.filter((sample) => now - sample.at <= kSamplesKeptMs);
    const low = Math.max(...samples.map((sample) => sample.low));
    const high = Math.min(...samples.map((sample) => sample.high));
    clock.offset = (low + high) / 2;
    clock.spread = high - low;
    clock.roundTrip = Math.min(...samples.map((sample) => sample.high - sample.low));
    clock.samples = samples.length;
    clock.watch = { clock: message.clock, total: message.total, running: message.running, at: now };
    setButtonsEnabled(true);
}

function takeAnswer(message) {
    const press = window.kelvosPresses.find((p) => p.id === message.id);
    if (!press)
        return;
    press.done = message.done;
    press.atArrival = message.atArrival;
    byId("status").textContent = answerText(press);
}

function answerText(press) {
    switch (press.type) {
    case "start":
        return press.done ? "Start taken" : "Start not taken";
    case "stop":
        return press.done ? "Stop taken" : "Stop not taken: the watch does not run";
    default:
        return press.done ? `Lap ${press.competitor} taken`
                          : `Lap ${press.competitor} not taken: the watch does not run`;
    }
}

// Start and stop are offered only while the operator allows them.
function showRunButtons(message) {
    byId("runButtons").hidden = message.startStop !== true;
}

// The press clock at a moment of this page's clock, when the offset is known.
function pressClockAt(pageTime) {
    if (clock.offset === null)
        return undefined;
    return ((Math.round(pageTime + clock.offset) % kClockWrap) + kClockWrap) % kClockWrap;
}

// type: "lap" (with the competitor), "start" or "stop".
function press(type, competitor, event) {
    if (event.currentTarget.disabled)
        return;
    const touched = event.timeStamp;
    const id = ++lastPressId;
    const at = pressClockAt(touched);
    window.kelvosPresses.push({ id, type, competitor, touched, at, done: null, atArrival: null });
    send({ type, competitor, id, at });
    if (navigator.vibrate)
        navigator.vibrate(30);
}

function showWatch() {
    const watch = clock.watch;
    if (!watch)
        return;
    const total = watch.running ? watch.total + performance.now() - watch.at : watch.total;
    byId("watch").textContent = fullTimeText(total);
}

function connect() {
    socket = new WebSocket(
        `ws://${location.host}/remote-events?token=${encodeURIComponent(token)}`);
    let sync = null;
    socket.addEventListener("open", () => {
        retryMs = kRetryFirstMs;
        samples = [];
        setConnection("live", "live");
        sendName();
        send({ type: "sync", t: performance.now() });
        sync = setInterval(() => send({ type: "sync", t: performance.now() }), kSyncEveryMs);
    });
    socket.addEventListener("message", (event) => {
        const message = JSON.parse(event.data);
        if (message.type === "sync")
            takeSync(message);
        else if (message.type === "pressed")
            takeAnswer(message);
        else if (message.type === "welcome" || message.type === "controls")
            showRunButtons(message);
    });
    socket.addEventListener("close", (event) => {
        clearInterval(sync);
        setButtonsEnabled(false);
        if (event.code === kNotPaired) {
            setConnection("this link is no longer valid: open the new link the watch shows",
                          "refused");
            return;
        }
        setConnection("reconnecting", "");
        setTimeout(connect, retryMs);
        retryMs = Math.min(retryMs * 2, kRetryMostMs);
    });
}

const nameField = byId("deviceName");
nameField.value = localStorage.getItem("kelvos.remote.name") ?? "";
nameField.addEventListener("input", () => {
    localStorage.setItem("kelvos.remote.name", nameField.value);
    sendName();
});
for (const competitor of [1, 2, 3])
    byId(`lap${competitor}`).addEventListener("pointerdown",
                                              (event) => press("lap", competitor, event));
for (const type of ["start", "stop"])
    byId(type).addEventListener("pointerdown", (event) => press(type, undefined, event));
setInterval(showWatch, 100);

if (token)
    connect();
else
    setConnection("no pairing: open the link the watch shows", "refused");
