#pragma once

#include "AxisScale.h"
#include "SeriesData.h"

#include <QPolygonF>

namespace kelvos::chart {

// The indices of the points of a series (X = index) that a horizontal range shows, with one
// neighbour on each side so a line enters and leaves the view at its edges.
struct IndexSpan {
    int first = 0;
    int last = -1; // inclusive; last < first for none
    int count() const { return last < first ? 0 : last - first + 1; }
};
IndexSpan indicesInView(int pointCount, AxisRange horizontal);

// The pixel polyline of the points in `span`. When there are more points than twice the
// pixel columns they cover, each column keeps only its lowest and highest point, in the order
// they come, so a curve of any length costs at most about two points per column.
QPolygonF thinnedPolyline(const SeriesData& values, IndexSpan span, const AxisMapping& x,
                          const AxisMapping& y);

} // namespace kelvos::chart
