#pragma once

#include "CellStore.h"

#include <QAbstractTableModel>
#include <functional>

namespace kelvos {

// The cell store seen through Qt's model interface. Grid row 0 (the header) is the horizontal
// header's data; grid row r ≥ 1 is model row r − 1.
class CellTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit CellTableModel(QObject* parent = nullptr);

    const CellStore& store() const { return store_; }

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // The part of a cell's text that painting lays out.
    static QString shownText(const QString& text);
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    // Grid coordinates: row 0 is the header.
    int gridRowCount() const { return store_.rowCount(); }
    int gridColCount() const { return store_.colCount(); }
    void setGridRowCount(int rows);
    void setGridColCount(int cols);
    QString cell(int col, int row) const { return store_.cell(col, row); }
    void setCell(int col, int row, const QString& text);
    void setRowCommaText(int row, QStringView text);
    // Writes a whole data row in one change, first growing the grid to hold it.
    void setRow(int row, const QStringList& texts);
    void clearCells();

    // Runs a change that keeps the grid's size (a sort, a column cleared) and refreshes views.
    void changeCells(const std::function<void(CellStore&)>& change);
    // Takes over a whole new grid (a loaded file).
    void replaceStore(CellStore store);

    static int gridRowOf(const QModelIndex& index) { return index.row() + 1; }
    QModelIndex indexOf(int col, int row) const { return index(row - 1, col); }

private:
    void announceRowChanged(int row);
    void announceAllChanged();

    CellStore store_;
};

} // namespace kelvos
