#pragma once

#include "ChartAxes.h"

#include <vector>

namespace kelvos::chart {

// A range fit for drawing: ascending and never of zero span, whatever fixed bounds were set.
AxisRange drawableRange(AxisRange range);

// Maps values of a range onto a pixel interval; an inverted axis has its pixels swapped.
struct AxisMapping {
    double minimum = 0;
    double maximum = 1;
    double pixelAtMinimum = 0;
    double pixelAtMaximum = 1;

    static AxisMapping of(AxisRange range, double pixelAtMinimum, double pixelAtMaximum);
    double toPixel(double value) const;
    double toValue(double pixel) const;
};

// The smallest step of the form 1, 2 or 5 times a power of ten that keeps ticks at least
// minPixels apart over a span drawn on pixelLength pixels.
double niceTickStep(double span, double pixelLength, double minPixels);

// The multiples of step within [minimum, maximum].
std::vector<double> tickValues(AxisRange range, double step);

} // namespace kelvos::chart
