#pragma once

#include "ChartAxes.h"
#include "ChartModel.h"
#include "Projection3D.h"
#include "ScalableControl.h"

#include <QByteArray>
#include <QImage>
#include <QPointF>
#include <QTimer>
#include <QWidget>
#include <vector>

namespace kelvos::chart {
struct ChartScene;
}

// The lap chart: series 0 "Lap time" (a line with square markers) and series 1 "Average"
// (square markers only), both against the inverted right axis, mirrored on the left, with the
// point index on the bottom axis. Zooms by buttons or a left-drag rectangle with an animation,
// pans with a right drag, shows a pseudo-3D view with walls and value marks, and renders itself
// as a bitmap or a placeable Windows metafile. It is drawn at its designed size times the
// window's scale.
class TChart : public QWidget, public ScalableControl {
    Q_OBJECT
public:
    explicit TChart(QWidget* parent = nullptr);

    // X = the series' point count before the append; the chart repaints later, not at once.
    void appendPoint(int series, double y);
    void clearSeries();
    int pointCount(int series) const;
    QPointF point(int series, int index) const;

    void setAxisAutomatic(kelvos::chart::AxisId axis, bool automatic);
    // Set the fixed bounds; they apply while the axis is not automatic.
    void setAxisMinimum(kelvos::chart::AxisId axis, double v);
    void setAxisMaximum(kelvos::chart::AxisId axis, double v);
    // The range in force: the data's range while automatic, the zoom's target while animating.
    kelvos::chart::AxisRange axisRange(kelvos::chart::AxisId axis) const;

    // 120 zooms in, 80 zooms out; the picture moves to the new ranges in animated steps.
    void zoomPercent(double percent);
    // Restores the ranges saved by the first zoom since the last undo.
    void undoZoom();
    bool isZoomed() const;

    void setView3D(bool on);
    bool isView3D() const;
    void setChart3DPercent(int percent); // 1..100
    void setRotation(int degrees);       // 270..360
    void setOrthogonal(bool on);
    void setMarksVisible(bool on);
    bool marksVisible() const;

    // (width - 1) x (height - 1) logical units of the designed size, at least 1 each.
    QByteArray metafile() const;
    QImage bitmap() const; // width x height

    void setDisplayScale(double scale) override;

signals:
    void zoomed();
    void zoomUndone();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    kelvos::chart::AxisRange shownRange(kelvos::chart::Direction direction) const;
    kelvos::chart::ChartScene scene() const;
    // The chart's rectangle in designed pixels, and a point of the widget in them.
    QRect drawnRect() const;
    QPoint drawnPoint(QPointF widgetPoint) const;
    void updateChanging();
    void animateFrom(kelvos::chart::AxisRange horizontal, kelvos::chart::AxisRange vertical);
    void showNextFrame();
    void stopAnimation();
    void zoomToRectangle(QRect pixels);
    void panBy(QPoint from, QPoint to);
    void changeView(const kelvos::chart::View3D& view);

    kelvos::chart::ChartModel model_;
    kelvos::chart::View3D view_;
    bool marks_ = false;
    double scale_ = 1;

    std::vector<kelvos::chart::AxisRange> horizontalFrames_, verticalFrames_;
    int frame_ = -1;
    QTimer frameTimer_;

    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPoint pressAt_, lastAt_;
};
