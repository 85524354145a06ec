#pragma once

#include "ChartAxes.h"
#include "SeriesData.h"

#include <QPointF>
#include <array>
#include <optional>

namespace kelvos::chart {

// The data and axis state of a two-series chart: points with X = index, and per direction an
// automatic or fixed range with the saved ranges of a zoom. Both series share the vertical
// direction (right axis, mirrored on the left) and the horizontal one (bottom axis).
class ChartModel {
public:
    static constexpr int kSeriesCount = 2;

    void appendPoint(int series, double y);
    void clearSeries();
    int pointCount(int series) const;
    QPointF point(int series, int index) const;
    const SeriesData& values(int series) const;

    void setAutomatic(Direction direction, bool automatic);
    void setMinimum(Direction direction, double v);
    void setMaximum(Direction direction, double v);
    // The range in force: with automatic on, the range of the data.
    AxisRange range(Direction direction) const;

    // Shrinks (P > 100) or widens (P < 100) both directions: d = span * (P - 100) / 100,
    // giving [minimum + d, maximum - d].
    void zoomPercent(double percent);
    // Shows exactly the given ranges (the mouse rectangle).
    void zoomTo(AxisRange horizontal, AxisRange vertical);
    // Shifts a direction's range by a value distance; the range becomes fixed.
    void pan(Direction direction, double distance);
    // Restores what the first zoom since the last undo saved; nothing when not zoomed.
    void undoZoom();
    bool isZoomed() const { return saved_.has_value(); }

private:
    struct AxisState {
        bool automatic = true;
        double minimum = 0;
        double maximum = 0;
    };
    using Axes = std::array<AxisState, 2>;

    AxisState& state(Direction direction);
    const AxisState& state(Direction direction) const;
    AxisRange dataRange(Direction direction) const;
    void saveBeforeZoom();
    void setFixed(Direction direction, double minimum, double maximum);

    std::array<SeriesData, kSeriesCount> values_;
    double dataLow_ = 0;
    double dataHigh_ = 0;
    Axes axes_;
    std::optional<Axes> saved_;
};

} // namespace kelvos::chart
