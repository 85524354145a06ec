// The board: every station that shares its run through the broker, one panel each, kept up to
// date from /board-events (all stations first, then one message per station's new run). The
// runs come from other programs: only their texts are shown, and a missing field shows empty.
// Each running station's total ticks from the time of its last event, on this server's clock
// as read by ping/pong.

import { Column, KeptSocket, fullTimeText } from "/live-client.js";

const byId = (id) => document.getElementById(id);
const panels = new Map(); // station name -> {element, run}

// This server's clock, estimated from the last ping's answer; the page's own until then.
let serverClock = { server: Date.now(), local: performance.now() };
const serverNow = () => serverClock.server + (performance.now() - serverClock.local);

function stationTotal(run) {
    const total = Number(run.total) || 0;
    if (run.state !== "running" || typeof run.totalAt !== "number")
        return total;
    return total + Math.max(0, serverNow() - run.totalAt);
}

function cell(text, className = "") {
    const td = document.createElement("td");
    td.textContent = text;
    td.className = className;
    return td;
}

function competitorRow(run, index) {
    const lap = Array.isArray(run.lastLaps) ? run.lastLaps[index] : null;
    const names = run.details?.names ?? [];
    const gap = Array.isArray(run.gaps) ? run.gaps.find((g) => g?.competitor === index + 1) : null;
    const row = document.createElement("tr");
    row.dataset.competitor = String(index + 1);
    row.append(
        cell(String(lap?.name ?? names[index] ?? index + 1)),
        cell(lap ? String(lap.number) : "0", "laps"),
        cell(lap ? String(lap.row?.[Column.lapTime] ?? "") : "", "last"),
        cell(lap ? String(lap.row?.[Column.difference] ?? "") : "",
            lap && lap.difference < 0 ? "difference faster" : "difference"),
        cell(lap ? String(lap.row?.[Column.total] ?? "") : "", "at"),
        cell(gap ? String(gap.text) : "", gap && gap.gap < 0 ? "gap faster" : "gap"));
    return row;
}

function fill(element, station, run) {
    element.querySelector(".name").textContent = station;
    const state = element.querySelector(".state");
    state.textContent = String(run.state ?? "");
    state.classList.toggle("running", run.state === "running");
    const course = String(run.details?.course ?? "");
    element.querySelector(".course").textContent = course ? `Course ${course}` : "";
    element.querySelector("tbody").replaceChildren(...[0, 1, 2].map((i) => competitorRow(run, i)));
    element.querySelector(".total").textContent = fullTimeText(stationTotal(run));
}

function showStation(station, run) {
    let panel = panels.get(station);
    if (!panel) {
        const element = byId("stationPanel").content.firstElementChild.cloneNode(true);
        element.dataset.station = station;
        panel = { element, run };
        panels.set(station, panel);
        // In the order of their names, as the server lists them.
        const after = [...panels.keys()].sort().find((name) => name > station);
        byId("stations").insertBefore(element, after ? panels.get(after).element : null);
    }
    panel.run = run;
    fill(panel.element, station, run);
    showCount();
}

function removeStation(station) {
    panels.get(station)?.element.remove();
    panels.delete(station);
    showCount();
}

function showCount() {
    byId("stationCount").textContent = `${panels.size} station${panels.size === 1 ? "" : "s"}`;
    byId("noStation").hidden = panels.size > 0 || !byId("noBroker").hidden;
}

function showBoard(message) {
    for (const station of [...panels.keys()])
        removeStation(station);
    byId("noBroker").hidden = message.broker === true;
    for (const { station, run } of message.stations)
        showStation(station, run);
    showCount();
}

function receive(message) {
    switch (message.type) {
    case "board":
        return showBoard(message);
    case "station":
        return showStation(message.station, message.run);
    case "removed":
        return removeStation(message.station);
    case "pong": {
        const now = performance.now();
        serverClock = { server: message.now + (now - message.t) / 2, local: now };
        return;
    }
    default:
        return;
    }
}

function tick() {
    for (const { element, run } of panels.values()) {
        if (run.state === "running")
            element.querySelector(".total").textContent = fullTimeText(stationTotal(run));
    }
    requestAnimationFrame(tick);
}

new KeptSocket(() => "/board-events", {
    message: receive,
    connection(connected) {
        const state = byId("connection");
        state.textContent = connected ? "live" : "reconnecting…";
        state.classList.toggle("offline", !connected);
    },
});
tick();
