#pragma once

#include <QPointF>
#include <QPolygonF>
#include <QRectF>

namespace kelvos::chart {

struct View3D {
    static constexpr int kMinPercent = 1, kMaxPercent = 100, kDefaultPercent = 15;
    static constexpr int kMinRotation = 270, kMaxRotation = 360;
    static constexpr int kElevation = 315;

    bool on = false;
    int depthPercent = kDefaultPercent;
    int rotation = kMaxRotation;
    int elevation = kElevation;
    bool orthogonal = false;

    bool operator==(const View3D&) const = default;
};

int clampDepthPercent(int percent);
int clampRotation(int degrees);

// Where the back of the chart lies relative to its front, in pixels, for a plot of the given
// size. Orthogonal: straight up and right at 45 degrees. Otherwise the chart's box turned about
// the vertical axis by the rotation and seen from the elevation: the back straight above the
// front at 360, turning to beside it at 270. In 2D there is no depth.
QPointF depthOffset(const View3D& view, QSizeF plot);

// The three walls of a 3D chart whose front plane is `front` and whose back plane is front
// shifted by `offset`: the back wall, the floor under the data and the wall on the left.
struct Walls {
    QPolygonF back;
    QPolygonF bottom;
    QPolygonF left;
};
Walls wallsOf(const QRectF& front, QPointF offset);

} // namespace kelvos::chart
