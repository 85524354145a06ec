#pragma once

#include "AxisScale.h"
#include "Projection3D.h"

#include <QLine>
#include <QRect>
#include <QRectF>

namespace kelvos::chart {

// Where the parts of a chart go inside its rectangle, and how values map to pixels there.
struct ChartLayout {
    static constexpr int kBorder = 3; // single border, border width and bevel
    static constexpr int kTitleHeight = 22;
    static constexpr int kAxisTitleWidth = 20;
    static constexpr int kLabelWidth = 48;
    static constexpr int kLabelHeight = 16;
    static constexpr int kMarginTopPercent = 7;
    static constexpr int kMarginLeftPercent = 5;
    static constexpr int kMarginBottomPercent = 8;
    static constexpr int kMarginRightPercent = 3;
    // The largest marker's half size plus one: markers at the ends of a range stay whole.
    static constexpr int kMarkerInset = 6;

    QRect area;
    QRectF title;
    QRectF front;  // the plane the series are drawn on
    QPointF depth; // from the front plane to the back wall; zero in 2D
    AxisMapping x;
    AxisMapping y;

    QRectF back() const { return front.translated(depth); }
    // The rectangle of data coordinates, the front plane less the marker inset.
    QRectF dataRect() const;
};

// A value mark: the arrow from the point's marker and the box its text is drawn in.
struct MarkPlace {
    QLine arrow;
    QRect text;
    bool operator==(const MarkPlace&) const = default;
};

// A mark stands above its point; where it would rise above the top of the plot (into the
// chart's title), it hangs below the point instead.
MarkPlace markPlace(QPoint point, int markerHalf, int arrowLength, QSize textBox, int plotTop);

// The vertical axis runs from top (minimum) to bottom when inverted.
ChartLayout layoutChart(QRect area, const View3D& view, AxisRange horizontal, AxisRange vertical,
                        bool verticalInverted);

} // namespace kelvos::chart
