// A table that shows grid rows as the program's grids do: a header row, then one row per grid
// row, in order. Rows are written in place, so a lap costs one row, not the whole table.

export class GridTable {
    constructor(table) {
        this.table = table;
        this.head = table.createTHead().insertRow();
        this.body = table.tBodies[0] ?? table.createTBody();
        this.scroller = table.parentElement;
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
        this.body.replaceChildren();
        rows.forEach((texts, i) => this.setRow(i + 1, texts));
    }

    // Row 1 is the first data row, as in the program's grids.
    setRow(row, texts) {
        const following = this.followsNewest();
        while (this.body.rows.length < row)
            this.body.insertRow();
        const line = this.body.rows[row - 1];
        while (line.cells.length < texts.length)
            line.insertCell();
        texts.forEach((text, i) => {
            line.cells[i].textContent = text;
        });
        if (following)
            this.scroller.scrollTop = this.scroller.scrollHeight;
    }

    // The newest rows stay in view unless the viewer has scrolled back to older ones.
    followsNewest() {
        const { scrollTop, scrollHeight, clientHeight } = this.scroller;
        return scrollHeight - scrollTop - clientHeight < 4;
    }
}
