// The live results page: competitor 1's running total, the last lap in large figures, the gaps,
// the Mix and Main grids and the lap chart, kept up to date from the program's events.

import { LiveRun, epochNow, mainHeader, mixHeader } from "/live-client.js";
import { showLastLap, tickTotal } from "/figures.js";
import { GridTable } from "/grid-table.js";
import { LapChart } from "/lap-chart.js";

const byId = (id) => document.getElementById(id);
const mix = new GridTable(byId("mix"));
const main = new GridTable(byId("main"));
const chart = new LapChart(byId("chart"));

// What the page itself measured of each lap: when its event arrived and when its row was shown
// (epoch milliseconds), against the press time the program put into the event. Benchmarks read
// it; the newest laps only, so that a page left open through a long run does not grow with it.
const kTimingsKept = 10000;
window.kelvosLapTimings = [];

function showDetails(run) {
    byId("course").textContent = run.details.course;
    mix.setHeader(mixHeader(run));
    main.setHeader(mainHeader(run));
}

function showGaps(run) {
    for (const competitor of [2, 3]) {
        const gap = run.gaps[competitor];
        const label = byId(`gap${competitor}`);
        label.textContent = gap ? gap.text : "0";
        label.classList.toggle("faster", gap !== undefined && gap.gap < 0);
    }
}

function showAll(run) {
    showDetails(run);
    mix.setRows(run.mixRows);
    main.setRows(run.mainRows);
    chart.setRows(run.mainRows);
    showLastLap(run);
    showGaps(run);
}

function showLap(run, event, receivedAt) {
    const lap = event.lap;
    mix.setRow(lap.mixRow, lap.row);
    if (lap.mainRow > 0) {
        main.setRow(lap.mainRow, lap.row);
        chart.setRow(lap.mainRow, lap.row);
    }
    showLastLap(run);
    showGaps(run);
    // The row is in the document now; the next frame shows it on screen.
    requestAnimationFrame(() => {
        if (window.kelvosLapTimings.length >= kTimingsKept)
            window.kelvosLapTimings.shift();
        window.kelvosLapTimings.push({
            seq: event.seq, pressedAt: Date.parse(event.at), receivedAt, shownAt: epochNow(),
        });
    });
}

function showEvent(run, event, receivedAt) {
    if (event.type === "lap")
        showLap(run, event, receivedAt);
    else if (event.type === "details")
        showDetails(run);
    else
        showAll(run);
}

tickTotal(new LiveRun({
    snapshot: showAll,
    event: showEvent,
    connection(connected) {
        const state = byId("connection");
        state.textContent = connected ? "live" : "reconnecting…";
        state.classList.toggle("offline", !connected);
    },
}));
