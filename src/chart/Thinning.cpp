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

QPolygonF thinnedPolyline(const std::vector<double>& values, IndexSpan span, const AxisMapping& x,
                          const AxisMapping& y) {
    QPolygonF line;
    const int n = span.count();
    if (n == 0)
        return line;
    const double columns = std::abs(x.toPixel(span.last) - x.toPixel(span.first)) + 1;
    if (n <= 2 * columns) {
        line.reserve(n);
        for (int i = span.first; i <= span.last; ++i)
            line << QPointF(x.toPixel(i), y.toPixel(values[i]));
        return line;
    }
    line.reserve(int(2 * columns) + 2);
    int i = span.first;
    while (i <= span.last) {
        const double column = std::floor(x.toPixel(i));
        int low = i, high = i;
        for (++i; i <= span.last && std::floor(x.toPixel(i)) == column; ++i) {
            if (values[i] < values[low])
                low = i;
            if (values[i] > values[high])
                high = i;
        }
        for (int k : {std::min(low, high), std::max(low, high)}) {
            line << QPointF(x.toPixel(k), y.toPixel(values[k]));
            if (low == high)
                break;
        }
    }
    return line;
}

} // namespace kelvos::chart
