#pragma once

#include "CellStore.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <optional>

namespace kelvos {

// The exchange of grid cells through the clipboard: the Mix grid's laps go out as one line of
// comma text, ten cells to a row with no row separator, and come back into the Main grid.

// What a copy puts on the clipboard.
struct ClipboardCopy {
    QString text;
    // The clipboard cell count: the number of ten-column rows copied plus one, the row count
    // a later paste gives the Main grid.
    int cellCount = 0;
};

// The cells of data rows 1 … last, each row in column order. With a name, only the rows whose
// column 1 ("Number") holds exactly that text take part. Returns nothing when the grid has at
// most one row or one column, as there is nothing to copy then.
std::optional<ClipboardCopy> copyGridCells(const CellStore& grid,
                                           const std::optional<QString>& name = std::nullopt);

// Pastes clipboard text into the Main grid: columns 1 … last are emptied (column 0 keeps its
// texts), then the comma-text items fill rows 1, 2, … left to right, a row per column count.
// When there is at least one item the row count becomes cellCount (never below the header
// row); items beyond the rows shown are dropped. Returns whether there was an item.
bool pasteIntoGrid(CellStore& grid, QStringView clipboardText, int cellCount);

// The texts of the three name boxes.
struct CompetitorNames {
    QString name1;
    QString name2;
    QString name3;
    bool operator==(const CompetitorNames&) const = default;
};

// The names read from a loaded Mix file, given column 1 of its data rows in order: the first
// row names competitor 1; the last row naming someone else names competitor 3; the last row
// naming neither of those two names competitor 2. Names no row gives stay as they were; with
// no rows nothing changes.
CompetitorNames namesFromNumberColumn(const QStringList& numbers, CompetitorNames current);

// A name is one line: every line break in it (CR LF, CR or LF) becomes one blank, since a file
// line holding a break would be split apart when the file is read back.
QString oneLineName(QString name);

} // namespace kelvos
