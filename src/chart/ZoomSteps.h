#pragma once

#include "ChartAxes.h"

#include <QPoint>
#include <vector>

namespace kelvos::chart {

constexpr int kZoomIntermediateFrames = 7;

// The ranges an animated zoom shows: 7 frames, each covering one third of the distance still
// left to the target, then the target itself.
std::vector<AxisRange> zoomFrames(AxisRange from, AxisRange to);

enum class DragAction { None, ZoomToRectangle, UndoZoom };

// A left-button rectangle from press to release: upper left to lower right zooms, any other
// direction undoes the zoom, and one of 16 pixels or less in width or height does neither.
DragAction leftDragAction(QPoint press, QPoint release);
constexpr int kMinimumDragPixels = 16;

} // namespace kelvos::chart
