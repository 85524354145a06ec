#include "Thinning.h"

#include <algorithm>
#include <cmath>

namespace kelvos::chart {

IndexSpan indicesInView(int pointCount, AxisRange horizontal) {
    const AxisRange r = drawableRange(horizontal);
    if (pointCount <= 0 || r.maximum < -1 || r.minimum > pointCount)
        return {};
    const double first = std::max(0.0, std::floor(r.minimum) - 1);
    const double last = std::min(double(pointCount - 1), std::ceil(r.maximum) + 1);
    return {int(first), int(last)};
}

namespace {

// The end (exclusive) of the run of indices from `first` that fall into the pixel column of
// `first`: found from the inverse mapping, then corrected for rounding.
int columnEnd(int first, int last, const AxisMapping& x) {
    const double column = std::floor(x.toPixel(first));
    const double boundary = std::ceil(x.toValue(column + 1));
    int end = int(std::clamp(boundary, double(first + 1), double(last + 1)));
    while (end > first + 1 && std::floor(x.toPixel(end - 1)) != column)
        --end;
    while (end <= last && std::floor(x.toPixel(end)) == column)
        ++end;
    return end;
}

} // namespace

QPolygonF thinnedPolyline(const SeriesData& values, IndexSpan span, const AxisMapping& x,
                          const AxisMapping& y) {
    QPolygonF line;
    const int n = span.count();
    if (n == 0)
        return line;
    const double columns = std::abs(x.toPixel(span.last) - x.toPixel(span.first)) + 1;
    const bool rightward = x.pixelAtMaximum > x.pixelAtMinimum;
    if (n <= 2 * columns || !rightward) {
        line.reserve(n);
        for (int i = span.first; i <= span.last; ++i)
            line << QPointF(x.toPixel(i), y.toPixel(values[i]));
        return line;
    }
    line.reserve(int(2 * columns) + 2);
    for (int i = span.first; i <= span.last;) {
        const int end = columnEnd(i, span.last, x);
        const auto [a, b] = values.extremes(i, end);
        line << QPointF(x.toPixel(std::min(a, b)), y.toPixel(values[std::min(a, b)]));
        if (a != b)
            line << QPointF(x.toPixel(std::max(a, b)), y.toPixel(values[std::max(a, b)]));
        i = end;
    }
    return line;
}

} // namespace kelvos::chart
