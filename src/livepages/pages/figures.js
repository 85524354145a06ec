// The figures every page shows of competitor 1: the running total and the last lap with its
// number and difference, in the elements "total", "lastNumber", "lastLap" and "lastDiff".

import { Column, fullTimeText } from "/live-client.js";

const byId = (id) => document.getElementById(id);

export function showLastLap(run) {
    const lap = run.lastLap;
    byId("lastNumber").textContent = lap ? String(lap.number) : "";
    byId("lastLap").textContent = lap ? lap.row[Column.lapTime] : "";
    const difference = byId("lastDiff");
    difference.textContent = lap ? lap.row[Column.difference] : "";
    difference.classList.toggle("faster", lap !== null && lap.difference < 0);
}

// The total at every frame, from the program's clock as the connection last read it.
export function tickTotal(live) {
    const total = byId("total");
    const tick = () => {
        total.textContent = fullTimeText(live.clock.total());
        requestAnimationFrame(tick);
    };
    tick();
}
