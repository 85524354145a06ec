#include "CellTableModel.h"

#include <algorithm>
#include <utility>

namespace kelvos {

CellTableModel::CellTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int CellTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : std::max(store_.rowCount() - 1, 0);
}

int CellTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : store_.colCount();
}

QString CellTableModel::shownText(const QString& text) {
    // A cell shows far less than this; laying out the whole of a huge cell (a hostile file's
    // single line) at every repaint would freeze the window.
    constexpr qsizetype shownCharacters = 4096;
    return text.size() > shownCharacters ? text.left(shownCharacters) : text;
}

QVariant CellTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::EditRole))
        return {};
    const QString text = store_.cell(index.column(), gridRowOf(index));
    return role == Qt::DisplayRole ? shownText(text) : text;
}

bool CellTableModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    if (!index.isValid() || role != Qt::EditRole)
        return false;
    setCell(index.column(), gridRowOf(index), value.toString());
    return true;
}

QVariant CellTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return store_.cell(section, 0);
}

// Only a cell is editable; the table's root (an invalid index) is not a cell.
Qt::ItemFlags CellTableModel::flags(const QModelIndex& index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    return QAbstractTableModel::flags(index) | Qt::ItemIsEditable;
}

void CellTableModel::setGridRowCount(int rows) {
    rows = std::max(rows, 1);
    const int oldRows = store_.rowCount();
    if (rows > oldRows) {
        beginInsertRows({}, oldRows - 1, rows - 2);
        store_.setRowCount(rows);
        endInsertRows();
    } else if (rows < oldRows) {
        beginRemoveRows({}, rows - 1, oldRows - 2);
        store_.setRowCount(rows);
        endRemoveRows();
    }
}

void CellTableModel::setGridColCount(int cols) {
    cols = std::max(cols, 1);
    const int oldCols = store_.colCount();
    if (cols > oldCols) {
        beginInsertColumns({}, oldCols, cols - 1);
        store_.setColCount(cols);
        endInsertColumns();
    } else if (cols < oldCols) {
        beginRemoveColumns({}, cols, oldCols - 1);
        store_.setColCount(cols);
        endRemoveColumns();
    }
}

void CellTableModel::setCell(int col, int row, const QString& text) {
    if (!store_.contains(col, row))
        return;
    store_.setCell(col, row, text);
    if (row == 0) {
        emit headerDataChanged(Qt::Horizontal, col, col);
    } else {
        const QModelIndex changed = indexOf(col, row);
        emit dataChanged(changed, changed);
    }
}

void CellTableModel::setRow(int row, const QStringList& texts) {
    if (row >= store_.rowCount())
        setGridRowCount(row + 1);
    store_.setRow(row, texts);
    announceRowChanged(row);
}

void CellTableModel::setRowCommaText(int row, QStringView text) {
    if (row < 0 || row >= store_.rowCount())
        return;
    store_.setRowCommaText(row, text);
    announceRowChanged(row);
}

void CellTableModel::clearCells() {
    store_.clear();
    announceAllChanged();
}

void CellTableModel::changeCells(const std::function<void(CellStore&)>& change) {
    const int rows = store_.rowCount();
    const int cols = store_.colCount();
    change(store_);
    Q_ASSERT(rows == store_.rowCount() && cols == store_.colCount());
    announceAllChanged();
}

void CellTableModel::replaceStore(CellStore store) {
    beginResetModel();
    store_ = std::move(store);
    if (store_.rowCount() < 1)
        store_.setRowCount(1);
    if (store_.colCount() < 1)
        store_.setColCount(1);
    endResetModel();
}

void CellTableModel::announceRowChanged(int row) {
    if (row == 0)
        emit headerDataChanged(Qt::Horizontal, 0, store_.colCount() - 1);
    else
        emit dataChanged(indexOf(0, row), indexOf(store_.colCount() - 1, row));
}

void CellTableModel::announceAllChanged() {
    emit headerDataChanged(Qt::Horizontal, 0, store_.colCount() - 1);
    if (rowCount() > 0)
        emit dataChanged(index(0, 0), index(rowCount() - 1, columnCount() - 1));
}

} // namespace kelvos
