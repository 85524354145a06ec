#include "TStrSortGrid.h"

#include "SortArrows.h"
#include "Sorting.h"

#include <QMouseEvent>
#include <QPainter>

namespace {

// Offset of the captured text and the arrow from the cell's top-left corner.
constexpr int indicatorLeft = 1;
constexpr int indicatorTop = 2;

} // namespace

TStrSortGrid::TStrSortGrid(QWidget* parent) : TextGrid(parent) {}

void TStrSortGrid::headerClick(int col) {
    const std::optional<kelvos::SortDirection> direction =
        sortState_.click(sortOps_, col, cells(col, 0));
    if (!direction)
        return;
    cellModel()->changeCells([col, direction](kelvos::CellStore& store) {
        kelvos::headerSortRows(store, col, 1, store.rowCount() - 1, *direction);
    });
    fixedRow()->viewport()->update();
}

void TStrSortGrid::numberSort(int col) {
    cellModel()->changeCells([col](kelvos::CellStore& store) { kelvos::numberSort(store, col); });
}

void TStrSortGrid::fixedRowPressed(QMouseEvent* event) {
    if (sortOps_ == soNon)
        return;
    const int col = fixedRow()->logicalIndexAt(event->position().toPoint());
    if (col >= 0)
        headerClick(col);
    TextGrid::fixedRowPressed(event);
}

void TStrSortGrid::mousePressEvent(QMouseEvent* event) {
    if (sortOps_ == soNon)
        return;
    TextGrid::mousePressEvent(event);
}

void TStrSortGrid::paintFixedCell(QPainter* painter, const QRect& rect, int col) const {
    TextGrid::paintFixedCell(painter, rect, col);
    if (sortState_.showsIndicator(col))
        paintSortIndicator(painter, rect);
}

void TStrSortGrid::paintSortIndicator(QPainter* painter, const QRect& rect) const {
    fillFixedCell(painter, rect);
    const QString& text = sortState_.capturedText;
    painter->setFont(shownFont(gridFont().font));
    painter->setPen(gridFont().color);
    const int textWidth = painter->fontMetrics().horizontalAdvance(text);
    const QImage& arrow = sortState_.ascending ? kelvos::sortArrowUp() : kelvos::sortArrowDown();
    painter->setClipRect(rect, Qt::IntersectClip);
    painter->drawImage(
        QPoint(rect.left() + indicatorLeft + textWidth + spacing_, rect.top() + indicatorTop),
        arrow);
    painter->drawText(rect.adjusted(indicatorLeft, indicatorTop, 0, 0),
                      Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}
