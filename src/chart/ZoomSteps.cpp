#include "ZoomSteps.h"

#include <cstdlib>

namespace kelvos::chart {

std::vector<AxisRange> zoomFrames(AxisRange from, AxisRange to) {
    std::vector<AxisRange> frames;
    AxisRange now = from;
    for (int i = 0; i < kZoomIntermediateFrames; ++i) {
        now.minimum += (to.minimum - now.minimum) / 3;
        now.maximum += (to.maximum - now.maximum) / 3;
        frames.push_back({now.minimum, now.maximum, to.automatic});
    }
    frames.push_back(to);
    return frames;
}

DragAction leftDragAction(QPoint press, QPoint release) {
    const QPoint d = release - press;
    if (std::abs(d.x()) <= kMinimumDragPixels || std::abs(d.y()) <= kMinimumDragPixels)
        return DragAction::None;
    return d.x() > 0 && d.y() > 0 ? DragAction::ZoomToRectangle : DragAction::UndoZoom;
}

} // namespace kelvos::chart
