#include "Projection3D.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace kelvos::chart {
namespace {

double radians(double degrees) {
    return degrees * std::numbers::pi / 180;
}

} // namespace

int clampDepthPercent(int percent) {
    return std::clamp(percent, View3D::kMinPercent, View3D::kMaxPercent);
}

int clampRotation(int degrees) {
    return std::clamp(degrees, View3D::kMinRotation, View3D::kMaxRotation);
}

QPointF depthOffset(const View3D& view, QSizeF plot) {
    if (!view.on)
        return {};
    // The depth takes its share of the smaller side so a deep view still leaves a plot.
    const double depth =
        std::min(plot.width(), plot.height()) * clampDepthPercent(view.depthPercent) / 100.0 / 2;
    if (view.orthogonal)
        return {depth, -depth};
    // The box turns about the vertical axis by the rotation's distance from 360 degrees. Seen
    // from the elevation, the depth axis shows its sideways part in full and its part into
    // the screen foreshortened to the tilt: at 360 the back stands straight above the front,
    // at 270 beside it, and equal turns move it along an ellipse by comparable steps.
    const double tilt = radians(360 - view.elevation);
    const double turn = radians(360 - clampRotation(view.rotation));
    const double length = depth * std::numbers::sqrt2;
    return {length * std::sin(turn), -length * std::cos(turn) * std::sin(tilt)};
}

Walls wallsOf(const QRectF& front, QPointF offset) {
    const QRectF back = front.translated(offset);
    Walls walls;
    walls.back = QPolygonF(back);
    walls.back.removeLast();
    walls.bottom << front.bottomLeft() << front.bottomRight() << back.bottomRight()
                 << back.bottomLeft();
    walls.left << front.topLeft() << front.bottomLeft() << back.bottomLeft() << back.topLeft();
    return walls;
}

} // namespace kelvos::chart
