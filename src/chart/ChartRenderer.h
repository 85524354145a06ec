#pragma once

#include "ChartLayout.h"
#include "ChartModel.h"
#include "Projection3D.h"

#include <QRect>

class QPainter;

namespace kelvos::chart {

// Everything a picture of the chart depends on: the data, the ranges shown (which differ from
// the model's during an animated zoom), the 3D view and whether value marks show.
struct ChartScene {
    const ChartModel& model;
    AxisRange horizontal;
    AxisRange vertical;
    View3D view;
    bool marks = false;
};

// Both vertical axes are inverted: smaller values higher up.
ChartLayout sceneLayout(QRect area, const ChartScene& scene);

// The part of the picture that a new point or new ranges can change: the back with its series
// and grid, and the axes with their labels. The panel, its titles and what lies on them stay;
// value marks may reach anywhere, so with marks it is the whole area.
QRect changingRect(QRect area, const ChartScene& scene);

// Draws the whole chart into area with solid colours only and without antialiasing, so the
// screen, a bitmap and a metafile show the same picture.
void drawChart(QPainter& painter, QRect area, const ChartScene& scene);

} // namespace kelvos::chart
