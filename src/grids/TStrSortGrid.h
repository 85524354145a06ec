#pragma once

#include "HeaderSortState.h"
#include "TextGrid.h"

// A text grid that sorts its data rows when a header cell is pressed and marks the sorted
// column with an arrow beside the header text captured at the press.
class TStrSortGrid : public kelvos::TextGrid {
    Q_OBJECT
public:
    explicit TStrSortGrid(QWidget* parent = nullptr);

    TSortops sortOps() const { return sortOps_; }
    void setSortOps(TSortops ops) { sortOps_ = ops; }
    // Gap in pixels between the header text and the arrow; used at the next paint.
    int spacing() const { return spacing_; }
    void setSpacing(int spacing) { spacing_ = spacing; }
    const kelvos::HeaderSortState& sortState() const { return sortState_; }

    // The header-click sort of column col, as a press on its header cell does.
    void headerClick(int col);
    // The number sort: a stable ascending sort of the data rows by the text of column col.
    void numberSort(int col);

    void paintFixedCell(QPainter* painter, const QRect& rect, int col) const override;
    void fixedRowPressed(QMouseEvent* event) override;

protected:
    void mousePressEvent(QMouseEvent* event) override;

private:
    void paintSortIndicator(QPainter* painter, const QRect& rect) const;

    TSortops sortOps_ = soBoth;
    int spacing_ = 10;
    kelvos::HeaderSortState sortState_;
};
