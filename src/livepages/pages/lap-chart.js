// The lap chart of competitor 1: the lap time as a line with square markers and the average as
// squares, in milliseconds against the lap number, faster laps higher (the axis is inverted),
// as the program's chart draws them. Drawn on a canvas at the screen's pixel density.

import { onceAFrame } from "/live-client.js";

const kLapLine = "rgb(0, 255, 128)";
const kLapMarker = "rgb(176, 255, 216)";
const kAverageMarker = "rgb(255, 0, 128)";
const kBackground = "rgb(32, 64, 110)";
const kGrid = "rgba(192, 192, 192, 0.45)";
const kText = "rgb(230, 236, 245)";
const kMargin = { left: 12, right: 64, top: 12, bottom: 26 };

export class LapChart {
    constructor(canvas) {
        this.canvas = canvas;
        this.laps = [];
        this.averages = [];
        // One drawing per frame however many laps arrive within it.
        this.redraw = onceAFrame(() => this.draw());
        new ResizeObserver(() => this.redraw()).observe(canvas);
    }

    // The Main grid's rows: column 6 is the lap, column 8 the average, both in milliseconds.
    // Rows without both (a loaded file's odd lines) are not drawn.
    setRows(rows) {
        this.laps = [];
        this.averages = [];
        rows.forEach((texts, i) => this.putRow(i + 1, texts));
        this.redraw();
    }

    setRow(row, texts) {
        this.putRow(row, texts);
        this.redraw();
    }

    putRow(row, texts) {
        const lap = Number.parseInt(texts[6], 10);
        const average = Number.parseInt(texts[8], 10);
        this.laps[row - 1] = Number.isFinite(lap) ? lap : undefined;
        this.averages[row - 1] = Number.isFinite(average) ? average : undefined;
    }

    draw() {
        const ratio = window.devicePixelRatio || 1;
        const width = this.canvas.clientWidth;
        const height = this.canvas.clientHeight;
        this.canvas.width = Math.round(width * ratio);
        this.canvas.height = Math.round(height * ratio);
        const g = this.canvas.getContext("2d");
        g.setTransform(ratio, 0, 0, ratio, 0, 0);
        g.fillStyle = kBackground;
        g.fillRect(0, 0, width, height);
        const shown = (ms) => ms !== undefined;
        if (!this.laps.some(shown))
            return;
        const plot = {
            left: kMargin.left, top: kMargin.top,
            width: Math.max(1, width - kMargin.left - kMargin.right),
            height: Math.max(1, height - kMargin.top - kMargin.bottom),
        };
        let low = Infinity;
        let high = -Infinity;
        for (const ms of this.laps.concat(this.averages).filter(shown)) {
            low = Math.min(low, ms);
            high = Math.max(high, ms);
        }
        if (high === low) {
            low -= 500;
            high += 500;
        }
        const count = this.laps.length;
        const x = (lap) =>
            plot.left + (count === 1 ? plot.width / 2 : ((lap - 1) / (count - 1)) * plot.width);
        // Inverted: the fastest lap at the top.
        const y = (ms) => plot.top + ((ms - low) / (high - low)) * plot.height;
        this.drawAxes(g, plot, low, high, count, x, y);
        g.strokeStyle = kLapLine;
        g.lineWidth = 1.5;
        g.beginPath();
        this.laps.forEach((ms, i) => {
            if (shown(ms))
                g.lineTo(x(i + 1), y(ms));
        });
        g.stroke();
        this.drawMarkers(g, this.laps, x, y, kLapMarker, 5);
        this.drawMarkers(g, this.averages, x, y, kAverageMarker, 3);
    }

    drawMarkers(g, series, x, y, colour, size) {
        g.fillStyle = colour;
        series.forEach((ms, i) => {
            if (ms !== undefined)
                g.fillRect(Math.round(x(i + 1) - size / 2), Math.round(y(ms) - size / 2), size, size);
        });
    }

    drawAxes(g, plot, low, high, count, x, y) {
        g.font = "11px sans-serif";
        g.fillStyle = kText;
        g.strokeStyle = kGrid;
        g.lineWidth = 1;
        g.textBaseline = "middle";
        const steps = 4;
        for (let i = 0; i <= steps; ++i) {
            const ms = low + ((high - low) * i) / steps;
            const at = Math.round(y(ms)) + 0.5;
            g.beginPath();
            g.moveTo(plot.left, at);
            g.lineTo(plot.left + plot.width, at);
            g.stroke();
            g.fillText(Math.round(ms).toLocaleString("en"), plot.left + plot.width + 6, at);
        }
        g.textBaseline = "top";
        g.textAlign = "center";
        const every = Math.max(1, Math.ceil(count / 10));
        for (let lap = 1; lap <= count; lap += every) {
            g.fillText(String(lap), x(lap), plot.top + plot.height + 6);
        }
        g.textAlign = "start";
    }
}
