// The Display window's figures of competitor 1's latest lap, for a second screen.

import { Column, LiveRun } from "/live-client.js";

const byId = (id) => document.getElementById(id);
const kFields = {
    lap: Column.lap, lapTotal: Column.total, lapTime: Column.lapTime,
    difference: Column.difference, realtime: Column.realtime, lapMs: Column.lapMs,
    lapSpeed: Column.lapSpeed, averageMs: Column.averageMs, averageSpeed: Column.averageSpeed,
};

function showFigures(run) {
    const miles = run.details.unit === "mph";
    byId("lapSpeedCaption").textContent = miles ? "Lap M/h" : "Lap Km/h";
    byId("averageSpeedCaption").textContent = miles ? "Ave M/h" : "Ave Km/h";
    const lap = run.lastLap;
    for (const [id, column] of Object.entries(kFields))
        byId(id).textContent = lap ? lap.row[column] : "";
    byId("difference").classList.toggle("faster", lap !== null && lap.difference < 0);
}

new LiveRun({ snapshot: showFigures, event: showFigures });
