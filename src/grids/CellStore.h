#pragma once

#include <QString>
#include <QStringList>
#include <QStringView>
#include <span>
#include <vector>

namespace kelvos {

// The texts of one grid: rows × columns of strings, row 0 the header.
//
// One flat vector holds every cell, so a cell costs one QString (an empty one allocates
// nothing). Lowering the row or column count hides cells without discarding them, as the grid
// shows them again when it grows; only clear() forgets them.
class CellStore {
public:
    explicit CellStore(int rows = 1, int cols = 1);

    int rowCount() const { return rows_; }
    int colCount() const { return cols_; }
    void setRowCount(int rows);
    void setColCount(int cols);

    bool contains(int col, int row) const;
    // Reading outside the grid gives an empty text. Writing outside it is a caller's fault that
    // would lose the text: debug builds stop on it, release builds ignore the write.
    QString cell(int col, int row) const;
    void setCell(int col, int row, const QString& text);

    QStringList row(int row) const;
    // Like row(), also for a row hidden by lowering the row count: the texts it still holds in
    // the columns shown, empty ones for a row never held.
    QStringList heldRow(int row) const;
    // Fills the row from the list; missing texts empty the cells, surplus texts are ignored.
    void setRow(int row, const QStringList& texts);
    QStringList column(int col) const;

    // Empties every cell, the hidden ones included.
    void clear();
    void clearColumn(int col);

    QString rowCommaText(int row) const;
    // Empties the row, then fills it with the comma-text fields in column order.
    void setRowCommaText(int row, QStringView text);

    void swapRows(int a, int b);
    // Rewrites rows first … first + order.size() − 1 so that position i receives the former
    // row order[i]. The order must be a permutation of that range.
    void permuteRows(int first, std::span<const int> order);

    // Bytes held: every cell slot of the storage plus the text buffers of the visible cells.
    qsizetype memoryUsage() const;

private:
    QString& at(int col, int row) { return cells_[index(col, row)]; }
    const QString& at(int col, int row) const { return cells_[index(col, row)]; }
    std::size_t index(int col, int row) const {
        return std::size_t(row) * std::size_t(storedCols_) + std::size_t(col);
    }
    void reserveStorage(int rows, int cols);

    std::vector<QString> cells_;
    int rows_ = 0;
    int cols_ = 0;
    int storedRows_ = 0;
    int storedCols_ = 0;
};

} // namespace kelvos
