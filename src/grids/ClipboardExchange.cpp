#include "ClipboardExchange.h"

#include "CommaText.h"
#include "LapFacts.h"

#include <algorithm>

namespace kelvos {

namespace {

// A clipboard row is a lap row's cells, whatever the column count of the grid copied.
constexpr int cellsPerClipboardRow = kLapColumnCount;

bool rowTakesPart(const CellStore& grid, int row, const std::optional<QString>& name) {
    return !name || grid.cell(int(LapColumn::Name), row) == *name;
}

} // namespace

std::optional<ClipboardCopy> copyGridCells(const CellStore& grid,
                                           const std::optional<QString>& name) {
    if (grid.rowCount() <= 1 || grid.colCount() <= 1)
        return std::nullopt;
    QStringList cells;
    for (int row = 1; row < grid.rowCount(); ++row) {
        if (rowTakesPart(grid, row, name))
            cells += grid.row(row);
    }
    return ClipboardCopy{writeCommaText(cells), int(cells.size() / cellsPerClipboardRow) + 1};
}

bool pasteIntoGrid(CellStore& grid, QStringView clipboardText, int cellCount) {
    for (int col = 1; col < grid.colCount(); ++col)
        grid.clearColumn(col);
    const QStringList items = readCommaText(clipboardText);
    if (items.isEmpty())
        return false;
    grid.setRowCount(std::max(cellCount, 1));
    int row = 1;
    int col = 0;
    for (const QString& item : items) {
        if (row >= grid.rowCount())
            break;
        grid.setCell(col, row, item);
        if (++col == grid.colCount()) {
            col = 0;
            ++row;
        }
    }
    return true;
}

CompetitorNames namesFromNumberColumn(const QStringList& numbers, CompetitorNames current) {
    if (numbers.isEmpty())
        return current;
    current.name1 = numbers.front();
    const auto others = numbers.mid(1);
    for (const QString& number : others) {
        if (number != current.name1)
            current.name3 = number;
    }
    for (const QString& number : others) {
        if (number != current.name1 && number != current.name3)
            current.name2 = number;
    }
    return current;
}

QString oneLineName(QString name) {
    name.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    name.replace(u'\r', u' ');
    name.replace(u'\n', u' ');
    return name;
}

} // namespace kelvos
