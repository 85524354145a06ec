// A table that shows grid rows as the program's grids do: a header row, then one row per grid
// row, in order, in a box of its own that scrolls. Only the rows in view are in the document,
// so a run of any length costs the same to show, and a burst of laps (a restored run) is laid
// out once per frame. The newest rows stay in view unless the viewer scrolls back.

import { onceAFrame } from "/live-client.js";

const kOverscan = 8; // rows drawn beyond the view, so that scrolling shows no gap
const kColumns = 10;

export class GridTable {
    constructor(table) {
        this.head = table.createTHead().insertRow();
        this.body = table.tBodies[0] ?? table.createTBody();
        this.scroller = table.parentElement;
        this.rows = [];
        this.rowHeight = 0; // measured from the first row shown
        this.following = true;
        this.render = onceAFrame(() => this.draw());
        this.before = GridTable.spacer();
        this.after = GridTable.spacer();
        this.scroller.addEventListener("scroll", () => {
            const { scrollTop, scrollHeight, clientHeight } = this.scroller;
            this.following = scrollHeight - scrollTop - clientHeight < 4;
            this.render();
        }, { passive: true });
        new ResizeObserver(() => this.render()).observe(this.scroller);
    }

    setHeader(texts) {
        if (this.head.cells.length === texts.length &&
            [...this.head.cells].every((cell, i) => cell.textContent === texts[i]))
            return;
        this.head.replaceChildren(...texts.map((text) => {
            const cell = document.createElement("th");
            cell.textContent = text;
            cell.scope = "col";
            return cell;
        }));
    }

    setRows(rows) {
        this.rows = rows.slice();
        this.render();
    }

    // Row 1 is the first data row, as in the program's grids.
    setRow(row, texts) {
        while (this.rows.length < row)
            this.rows.push([]);
        this.rows[row - 1] = texts;
        this.render();
    }

    draw() {
        const height = this.rowHeight || 24;
        const inView = Math.ceil(this.scroller.clientHeight / height) + 2 * kOverscan;
        let start = Math.max(0, Math.floor(this.scroller.scrollTop / height) - kOverscan);
        if (this.following)
            start = Math.max(0, this.rows.length - inView);
        const end = Math.min(this.rows.length, start + inView);
        this.before.firstChild.style.height = `${start * height}px`;
        this.after.firstChild.style.height = `${(this.rows.length - end) * height}px`;
        const lines = this.rows.slice(start, end).map((texts, i) => GridTable.line(texts, start + i));
        this.body.replaceChildren(this.before, ...lines, this.after);
        if (!this.rowHeight && lines.length > 0) {
            this.rowHeight = lines[0].getBoundingClientRect().height;
            this.draw();
            return;
        }
        if (this.following)
            this.scroller.scrollTop = this.scroller.scrollHeight;
    }

    // index: from 0, for the stripes, which stay with their rows while the view scrolls.
    static line(texts, index) {
        const line = document.createElement("tr");
        line.classList.toggle("striped", index % 2 === 1);
        for (const text of texts)
            line.insertCell().textContent = text;
        return line;
    }

    // Stands for the rows out of view: one empty row of their height.
    static spacer() {
        const line = document.createElement("tr");
        line.className = "spacer";
        line.insertCell().colSpan = kColumns;
        return line;
    }
}
