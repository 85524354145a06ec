#include "AxisScale.h"

#include <algorithm>
#include <cmath>

namespace kelvos::chart {

AxisRange drawableRange(AxisRange range) {
    double low = std::min(range.minimum, range.maximum);
    double high = std::max(range.minimum, range.maximum);
    if (!std::isfinite(low) || !std::isfinite(high))
        return {0, 1, range.automatic};
    if (high - low <= std::abs(high) * 1e-12) {
        const double pad = std::max(1e-9, std::abs(low) * 1e-6);
        low -= pad;
        high += pad;
    }
    return {low, high, range.automatic};
}

AxisMapping AxisMapping::of(AxisRange range, double pixelAtMinimum, double pixelAtMaximum) {
    const AxisRange r = drawableRange(range);
    return {r.minimum, r.maximum, pixelAtMinimum, pixelAtMaximum};
}

double AxisMapping::toPixel(double value) const {
    return pixelAtMinimum +
           (value - minimum) * (pixelAtMaximum - pixelAtMinimum) / (maximum - minimum);
}

double AxisMapping::toValue(double pixel) const {
    if (pixelAtMaximum == pixelAtMinimum)
        return minimum;
    return minimum +
           (pixel - pixelAtMinimum) * (maximum - minimum) / (pixelAtMaximum - pixelAtMinimum);
}

double niceTickStep(double span, double pixelLength, double minPixels) {
    span = std::abs(span);
    if (!(span > 0) || !std::isfinite(span))
        return 1;
    const double maxTicks = std::max(1.0, std::floor(std::abs(pixelLength) / minPixels));
    const double rough = span / maxTicks;
    const double power = std::pow(10.0, std::floor(std::log10(rough)));
    for (double factor : {1.0, 2.0, 5.0, 10.0}) {
        // A tolerance keeps exact quotients such as 1000 / 10 from rounding to the next step.
        if (factor * power >= rough * (1 - 1e-9))
            return factor * power;
    }
    return 10 * power;
}

std::vector<double> tickValues(AxisRange range, double step) {
    std::vector<double> ticks;
    const AxisRange r = drawableRange(range);
    if (!(step > 0) || (r.maximum - r.minimum) / step > 10000)
        return ticks;
    const double first = std::ceil(r.minimum / step - 1e-9);
    for (double k = first; k * step <= r.maximum + step * 1e-9; k += 1)
        ticks.push_back(k * step == 0 ? 0.0 : k * step);
    return ticks;
}

} // namespace kelvos::chart
