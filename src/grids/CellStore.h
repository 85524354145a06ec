#pragma once

#include "CommaText.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QStringView>
#include <span>
#include <vector>

namespace kelvos {

// The texts of one grid: rows × columns of strings, row 0 the header.
//
// Each row keeps all its texts in one buffer (their lengths up front, then the texts end to
// end, one byte a character where they allow it), so a lap row costs one small allocation
// instead of one per cell, and a row never written costs none. Lowering the row or column count
// hides cells without discarding them, as the grid shows them again when it grows; only clear()
// forgets them.
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
    // Fills the row from the list; missing texts empty the cells, surplus texts are ignored.
    void setRow(int row, const QStringList& texts);
    QStringList column(int col) const;

    // Empties every cell, the hidden ones included.
    void clear();
    void clearColumn(int col);

    QString rowCommaText(int row) const;
    // Appends the comma text of the row's cells in the columns shown, also for a row hidden by
    // lowering the row count (empty cells for a row never held).
    void appendHeldRowCommaText(int row, QString& out, FieldGuard guard = FieldGuard::None) const;
    // The packed size of rows first … last held: about the characters of their comma text, so
    // a whole file's text can be given its room at once.
    qsizetype heldTextSize(int first, int last) const;
    // Empties the row, then fills it with the comma-text fields in column order (with a guard,
    // each taken out of its spreadsheet guard).
    void setRowCommaText(int row, QStringView text, FieldGuard guard = FieldGuard::None);

    void swapRows(int a, int b);
    // Rewrites rows first … first + order.size() − 1 so that position i receives the former
    // row order[i]. The order must be a permutation of that range.
    void permuteRows(int first, std::span<const int> order);

    // Bytes held: every cell slot of the storage plus the text buffers of the visible cells.
    qsizetype memoryUsage() const;

private:
    // Replaces the texts of columns 0 … cols − 1 of the row with the given ones (fewer given:
    // the others emptied), keeping the texts of hidden columns.
    void rewriteRow(int row, std::span<const QStringView> texts);
    void reserveRows(int rows);

    std::vector<QByteArray> packedRows_;
    int rows_ = 0;
    int cols_ = 0;
};

} // namespace kelvos
