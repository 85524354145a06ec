#include "CellStore.h"

#include "CommaText.h"

#include <algorithm>
#include <utility>

namespace kelvos {

CellStore::CellStore(int rows, int cols) {
    setColCount(cols);
    setRowCount(rows);
}

void CellStore::setRowCount(int rows) {
    rows_ = std::max(rows, 0);
    reserveStorage(rows_, storedCols_);
}

void CellStore::setColCount(int cols) {
    cols_ = std::max(cols, 0);
    reserveStorage(storedRows_, cols_);
}

void CellStore::reserveStorage(int rows, int cols) {
    if (rows <= storedRows_ && cols <= storedCols_)
        return;
    const int newRows = std::max(rows, storedRows_);
    const int newCols = std::max(cols, storedCols_);
    if (newCols == storedCols_) {
        cells_.resize(std::size_t(newRows) * std::size_t(newCols));
    } else {
        std::vector<QString> wider(std::size_t(newRows) * std::size_t(newCols));
        for (int r = 0; r < storedRows_; ++r) {
            for (int c = 0; c < storedCols_; ++c)
                wider[std::size_t(r) * std::size_t(newCols) + std::size_t(c)] = std::move(at(c, r));
        }
        cells_ = std::move(wider);
    }
    storedRows_ = newRows;
    storedCols_ = newCols;
}

bool CellStore::contains(int col, int row) const {
    return col >= 0 && col < cols_ && row >= 0 && row < rows_;
}

QString CellStore::cell(int col, int row) const {
    return contains(col, row) ? at(col, row) : QString();
}

void CellStore::setCell(int col, int row, const QString& text) {
    // A text written where no cell is would be lost without a word: callers make room first.
    Q_ASSERT_X(contains(col, row), "CellStore::setCell", "cell outside the grid");
    if (contains(col, row))
        at(col, row) = text;
}

QStringList CellStore::row(int row) const {
    QStringList texts;
    if (row < 0 || row >= rows_)
        return texts;
    texts.reserve(cols_);
    for (int c = 0; c < cols_; ++c)
        texts.append(at(c, row));
    return texts;
}

QStringList CellStore::heldRow(int row) const {
    if (row < rows_)
        return this->row(row);
    QStringList texts(cols_);
    if (row < storedRows_) {
        for (int c = 0; c < cols_; ++c)
            texts[c] = at(c, row);
    }
    return texts;
}

void CellStore::setRow(int row, const QStringList& texts) {
    Q_ASSERT_X(row >= 0 && row < rows_, "CellStore::setRow", "row outside the grid");
    if (row < 0 || row >= rows_)
        return;
    for (int c = 0; c < cols_; ++c)
        at(c, row) = c < texts.size() ? texts[c] : QString();
}

QStringList CellStore::column(int col) const {
    QStringList texts;
    if (col < 0 || col >= cols_)
        return texts;
    texts.reserve(rows_);
    for (int r = 0; r < rows_; ++r)
        texts.append(at(col, r));
    return texts;
}

void CellStore::clear() {
    std::vector<QString>(std::size_t(rows_) * std::size_t(cols_)).swap(cells_);
    storedRows_ = rows_;
    storedCols_ = cols_;
}

void CellStore::clearColumn(int col) {
    if (col < 0 || col >= cols_)
        return;
    for (int r = 0; r < rows_; ++r)
        at(col, r).clear();
}

QString CellStore::rowCommaText(int row) const {
    return writeCommaText(this->row(row));
}

void CellStore::setRowCommaText(int row, QStringView text) {
    setRow(row, readCommaText(text));
}

void CellStore::swapRows(int a, int b) {
    if (a == b || a < 0 || b < 0 || a >= rows_ || b >= rows_)
        return;
    std::swap_ranges(cells_.begin() + qsizetype(index(0, a)),
                     cells_.begin() + qsizetype(index(0, a + 1)),
                     cells_.begin() + qsizetype(index(0, b)));
}

void CellStore::permuteRows(int first, std::span<const int> order) {
    Q_ASSERT(first >= 0 && first + qsizetype(order.size()) <= rows_);
    std::vector<QString> moved(order.size() * std::size_t(storedCols_));
    for (std::size_t i = 0; i < order.size(); ++i) {
        std::move(cells_.begin() + qsizetype(index(0, order[i])),
                  cells_.begin() + qsizetype(index(0, order[i] + 1)),
                  moved.begin() + qsizetype(i * std::size_t(storedCols_)));
    }
    std::move(moved.begin(), moved.end(), cells_.begin() + qsizetype(index(0, first)));
}

qsizetype CellStore::memoryUsage() const {
    qsizetype bytes = qsizetype(cells_.capacity() * sizeof(QString));
    for (int r = 0; r < rows_; ++r) {
        for (int c = 0; c < cols_; ++c) {
            const QString& text = at(c, r);
            if (!text.isNull())
                bytes += qsizetype(text.capacity() + 1) * qsizetype(sizeof(QChar)) +
                         qsizetype(sizeof(QArrayData));
        }
    }
    return bytes;
}

} // namespace kelvos
