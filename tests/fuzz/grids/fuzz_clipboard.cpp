// Pastes arbitrary clipboard text into a Main grid: the first byte gives the clipboard cell
// count. A paste with items gives that row count (at least the header row), and copying the
// grid back never fails.
#include "ClipboardExchange.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const int cellCount = data[0];
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           static_cast<qsizetype>(size - 1));
    kelvos::CellStore grid(12, 10);
    grid.setRowCommaText(0, u"LAP,Number,Total");
    if (kelvos::pasteIntoGrid(grid, text, cellCount) && grid.rowCount() != std::max(cellCount, 1))
        std::abort();
    if (grid.colCount() != 10 || grid.cell(0, 0) != u"LAP")
        std::abort();
    kelvos::copyGridCells(grid);
    kelvos::copyGridCells(grid, grid.cell(1, 1));
    return 0;
}
