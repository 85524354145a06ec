#include "ChartModel.h"

#include <algorithm>
#include <cmath>

namespace kelvos::chart {
namespace {

bool validSeries(int series) {
    return series >= 0 && series < ChartModel::kSeriesCount;
}

// An axis never has zero span: a single value gets a margin of 5 % of its size, at least 1.
AxisRange withSpan(double low, double high) {
    if (low < high)
        return {low, high, true};
    const double pad = std::max(1.0, std::abs(low) * 0.05);
    return {low - pad, high + pad, true};
}

} // namespace

void ChartModel::appendPoint(int series, double y) {
    if (!validSeries(series))
        return;
    const bool first = values_[0].size() == 0 && values_[1].size() == 0;
    values_[series].append(y);
    dataLow_ = first ? y : std::min(dataLow_, y);
    dataHigh_ = first ? y : std::max(dataHigh_, y);
}

void ChartModel::clearSeries() {
    for (auto& v : values_)
        v.clear();
    dataLow_ = dataHigh_ = 0;
}

int ChartModel::pointCount(int series) const {
    return validSeries(series) ? static_cast<int>(values_[series].size()) : 0;
}

QPointF ChartModel::point(int series, int index) const {
    if (index < 0 || index >= pointCount(series))
        return {};
    return {double(index), values_[series][index]};
}

const SeriesData& ChartModel::values(int series) const {
    return values_[validSeries(series) ? series : 0];
}

ChartModel::AxisState& ChartModel::state(Direction direction) {
    return axes_[direction == Direction::Horizontal ? 0 : 1];
}

const ChartModel::AxisState& ChartModel::state(Direction direction) const {
    return axes_[direction == Direction::Horizontal ? 0 : 1];
}

AxisRange ChartModel::dataRange(Direction direction) const {
    // An empty chart still shows whole milliseconds: a second on the value axis.
    if (values_[0].size() == 0 && values_[1].size() == 0)
        return direction == Direction::Vertical ? AxisRange{0, 1000, true} : AxisRange{0, 1, true};
    if (direction == Direction::Vertical)
        return withSpan(dataLow_, dataHigh_);
    const int longest = std::max(values_[0].size(), values_[1].size());
    return withSpan(0, double(longest - 1));
}

void ChartModel::setAutomatic(Direction direction, bool automatic) {
    AxisState& axis = state(direction);
    if (axis.automatic && !automatic) {
        // The axis stays where it is until a fixed bound is given.
        const AxisRange now = dataRange(direction);
        axis.minimum = now.minimum;
        axis.maximum = now.maximum;
    }
    axis.automatic = automatic;
}

void ChartModel::setMinimum(Direction direction, double v) {
    state(direction).minimum = v;
}

void ChartModel::setMaximum(Direction direction, double v) {
    state(direction).maximum = v;
}

AxisRange ChartModel::range(Direction direction) const {
    const AxisState& axis = state(direction);
    if (axis.automatic)
        return dataRange(direction);
    return {axis.minimum, axis.maximum, false};
}

void ChartModel::saveBeforeZoom() {
    if (saved_)
        return;
    saved_ = axes_;
}

void ChartModel::setFixed(Direction direction, double minimum, double maximum) {
    AxisState& axis = state(direction);
    axis.automatic = false;
    axis.minimum = minimum;
    axis.maximum = maximum;
}

void ChartModel::zoomPercent(double percent) {
    saveBeforeZoom();
    for (Direction direction : {Direction::Horizontal, Direction::Vertical}) {
        const AxisRange now = range(direction);
        const double d = (now.maximum - now.minimum) * (percent - 100) / 100;
        setFixed(direction, now.minimum + d, now.maximum - d);
    }
}

void ChartModel::zoomTo(AxisRange horizontal, AxisRange vertical) {
    saveBeforeZoom();
    setFixed(Direction::Horizontal, horizontal.minimum, horizontal.maximum);
    setFixed(Direction::Vertical, vertical.minimum, vertical.maximum);
}

void ChartModel::pan(Direction direction, double distance) {
    saveBeforeZoom();
    const AxisRange now = range(direction);
    setFixed(direction, now.minimum + distance, now.maximum + distance);
}

void ChartModel::undoZoom() {
    if (!saved_)
        return;
    axes_ = *saved_;
    saved_.reset();
}

} // namespace kelvos::chart
