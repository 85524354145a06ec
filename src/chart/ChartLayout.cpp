#include "ChartLayout.h"

#include <algorithm>
#include <cmath>

namespace kelvos::chart {

QRectF ChartLayout::dataRect() const {
    const double inset = kMarkerInset;
    const double dx = std::min(inset, front.width() / 4), dy = std::min(inset, front.height() / 4);
    return front.adjusted(dx, dy, -dx, -dy);
}

MarkPlace markPlace(QPoint point, int markerHalf, int arrowLength, QSize textBox, int plotTop) {
    const int above = point.y() - markerHalf;
    if (above - arrowLength - textBox.height() >= plotTop) {
        const QPoint end(point.x(), above - arrowLength);
        return {
            QLine(point.x(), above, end.x(), end.y()),
            QRect(QPoint(point.x() - textBox.width() / 2, end.y() - textBox.height()), textBox)};
    }
    const int below = point.y() + markerHalf;
    const QPoint end(point.x(), below + arrowLength);
    return {QLine(point.x(), below, end.x(), end.y()),
            QRect(QPoint(point.x() - textBox.width() / 2, end.y() + 1), textBox)};
}

ChartLayout layoutChart(QRect area, const View3D& view, AxisRange horizontal, AxisRange vertical,
                        bool verticalInverted) {
    ChartLayout l;
    l.area = area;
    const QRectF inner = QRectF(area).adjusted(ChartLayout::kBorder, ChartLayout::kBorder,
                                               -ChartLayout::kBorder, -ChartLayout::kBorder);
    l.title = QRectF(inner.left(), inner.top() + 2, inner.width(), ChartLayout::kTitleHeight);
    const double left = inner.left() + inner.width() * ChartLayout::kMarginLeftPercent / 100 +
                        ChartLayout::kAxisTitleWidth + ChartLayout::kLabelWidth;
    const double right = inner.right() - inner.width() * ChartLayout::kMarginRightPercent / 100 -
                         ChartLayout::kLabelWidth;
    const double top = l.title.bottom() + inner.height() * ChartLayout::kMarginTopPercent / 100;
    const double bottom = inner.bottom() -
                          inner.height() * ChartLayout::kMarginBottomPercent / 100 -
                          ChartLayout::kLabelHeight;
    const QRectF plot(left, top, std::max(4.0, right - left), std::max(4.0, bottom - top));

    l.depth = depthOffset(view, plot.size());
    const double dx = std::abs(l.depth.x()), dy = std::abs(l.depth.y());
    l.front = QRectF(plot.left() + (l.depth.x() < 0 ? dx : 0), plot.top() + dy,
                     std::max(4.0, plot.width() - dx), std::max(4.0, plot.height() - dy));

    const QRectF data = l.dataRect();
    l.x = AxisMapping::of(horizontal, data.left(), data.right());
    l.y = verticalInverted ? AxisMapping::of(vertical, data.top(), data.bottom())
                           : AxisMapping::of(vertical, data.bottom(), data.top());
    return l;
}

} // namespace kelvos::chart
