#include "TChart.h"

#include "ChartRenderer.h"
#include "WmfPaintDevice.h"
#include "ZoomSteps.h"

#include <QMouseEvent>
#include <QPainter>

using kelvos::chart::AxisId;
using kelvos::chart::AxisRange;
using kelvos::chart::ChartScene;
using kelvos::chart::Direction;
using kelvos::chart::directionOf;
using kelvos::chart::View3D;

namespace {
constexpr int kFrameIntervalMs = 15;
}

TChart::TChart(QWidget* parent) : QWidget(parent) {
    frameTimer_.setInterval(kFrameIntervalMs);
    connect(&frameTimer_, &QTimer::timeout, this, &TChart::showNextFrame);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void TChart::appendPoint(int series, double y) {
    model_.appendPoint(series, y);
    updateChanging();
}

void TChart::clearSeries() {
    model_.clearSeries();
    updateChanging();
}

// The data and the ranges change the back and the axes only: the titles and the buttons on
// them are not painted again.
void TChart::updateChanging() {
    const QRectF changing = kelvos::chart::changingRect(drawnRect(), scene());
    update(QRectF(changing.topLeft() * scale_, changing.size() * scale_)
               .toAlignedRect()
               .adjusted(-1, -1, 1, 1));
}

void TChart::setDisplayScale(double scale) {
    if (scale == scale_)
        return;
    scale_ = scale;
    update();
}

QRect TChart::drawnRect() const {
    return QRect(QPoint(0, 0), (QSizeF(size()) / scale_).toSize());
}

QPoint TChart::drawnPoint(QPointF widgetPoint) const {
    return (widgetPoint / scale_).toPoint();
}

int TChart::pointCount(int series) const {
    return model_.pointCount(series);
}

QPointF TChart::point(int series, int index) const {
    return model_.point(series, index);
}

void TChart::setAxisAutomatic(AxisId axis, bool automatic) {
    stopAnimation();
    model_.setAutomatic(directionOf(axis), automatic);
    updateChanging();
}

void TChart::setAxisMinimum(AxisId axis, double v) {
    stopAnimation();
    model_.setMinimum(directionOf(axis), v);
    updateChanging();
}

void TChart::setAxisMaximum(AxisId axis, double v) {
    stopAnimation();
    model_.setMaximum(directionOf(axis), v);
    updateChanging();
}

AxisRange TChart::axisRange(AxisId axis) const {
    return model_.range(directionOf(axis));
}

void TChart::zoomPercent(double percent) {
    const AxisRange h = shownRange(Direction::Horizontal), v = shownRange(Direction::Vertical);
    model_.zoomPercent(percent);
    animateFrom(h, v);
}

void TChart::undoZoom() {
    if (!model_.isZoomed())
        return;
    const AxisRange h = shownRange(Direction::Horizontal), v = shownRange(Direction::Vertical);
    model_.undoZoom();
    animateFrom(h, v);
}

bool TChart::isZoomed() const {
    return model_.isZoomed();
}

void TChart::changeView(const View3D& view) {
    const bool changed = view.on != view_.on || view.depthPercent != view_.depthPercent ||
                         view.rotation != view_.rotation || view.orthogonal != view_.orthogonal;
    view_ = view;
    if (changed)
        update();
}

void TChart::setView3D(bool on) {
    View3D v = view_;
    v.on = on;
    changeView(v);
}

bool TChart::isView3D() const {
    return view_.on;
}

void TChart::setChart3DPercent(int percent) {
    View3D v = view_;
    v.depthPercent = kelvos::chart::clampDepthPercent(percent);
    changeView(v);
}

void TChart::setRotation(int degrees) {
    View3D v = view_;
    v.rotation = kelvos::chart::clampRotation(degrees);
    changeView(v);
}

void TChart::setOrthogonal(bool on) {
    View3D v = view_;
    v.orthogonal = on;
    changeView(v);
}

void TChart::setMarksVisible(bool on) {
    if (marks_ == on)
        return;
    marks_ = on;
    update();
}

bool TChart::marksVisible() const {
    return marks_;
}

AxisRange TChart::shownRange(Direction direction) const {
    if (frame_ < 0)
        return model_.range(direction);
    return direction == Direction::Horizontal ? horizontalFrames_[frame_] : verticalFrames_[frame_];
}

ChartScene TChart::scene() const {
    return {model_, shownRange(Direction::Horizontal), shownRange(Direction::Vertical), view_,
            marks_};
}

void TChart::animateFrom(AxisRange horizontal, AxisRange vertical) {
    horizontalFrames_ = kelvos::chart::zoomFrames(horizontal, model_.range(Direction::Horizontal));
    verticalFrames_ = kelvos::chart::zoomFrames(vertical, model_.range(Direction::Vertical));
    frame_ = 0;
    frameTimer_.start();
    update();
}

void TChart::showNextFrame() {
    if (++frame_ >= int(horizontalFrames_.size()) - 1)
        stopAnimation();
    update();
}

void TChart::stopAnimation() {
    frameTimer_.stop();
    frame_ = -1;
}

QByteArray TChart::metafile() const {
    const QSize drawn = drawnRect().size();
    const QSize size(std::max(1, drawn.width() - 1), std::max(1, drawn.height() - 1));
    kelvos::chart::WmfPaintDevice device(size);
    QPainter painter(&device);
    kelvos::chart::drawChart(painter, QRect(QPoint(0, 0), size), scene());
    painter.end();
    return device.metafile();
}

QImage TChart::bitmap() const {
    QImage image(size(), QImage::Format_RGB32);
    if (image.isNull())
        return image;
    QPainter painter(&image);
    painter.scale(scale_, scale_);
    kelvos::chart::drawChart(painter, drawnRect(), scene());
    return image;
}

void TChart::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.scale(scale_, scale_);
    kelvos::chart::drawChart(painter, drawnRect(), scene());
    if (dragButton_ == Qt::LeftButton) {
        painter.setPen(QPen(Qt::white, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(QRect(pressAt_, lastAt_).normalized());
    }
}

void TChart::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)
        return QWidget::mousePressEvent(event);
    dragButton_ = event->button();
    pressAt_ = lastAt_ = drawnPoint(event->position());
}

void TChart::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = drawnPoint(event->position());
    if (dragButton_ == Qt::RightButton)
        panBy(lastAt_, at);
    if (dragButton_ != Qt::NoButton) {
        lastAt_ = at;
        update();
    }
}

void TChart::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != dragButton_)
        return QWidget::mouseReleaseEvent(event);
    const QPoint at = drawnPoint(event->position());
    dragButton_ = Qt::NoButton;
    if (event->button() == Qt::RightButton) {
        panBy(lastAt_, at);
        if (isZoomed())
            emit zoomed(); // a moved view is undone as a zoom is
        return;
    }
    switch (kelvos::chart::leftDragAction(pressAt_, at)) {
    case kelvos::chart::DragAction::ZoomToRectangle:
        zoomToRectangle(QRect(pressAt_, at));
        emit zoomed();
        break;
    case kelvos::chart::DragAction::UndoZoom:
        undoZoom();
        emit zoomUndone();
        break;
    case kelvos::chart::DragAction::None:
        break;
    }
    update();
}

void TChart::zoomToRectangle(QRect pixels) {
    const auto layout = kelvos::chart::sceneLayout(drawnRect(), scene());
    const auto valuesBetween = [](const kelvos::chart::AxisMapping& m, int a, int b) {
        const double va = m.toValue(a), vb = m.toValue(b);
        return AxisRange{std::min(va, vb), std::max(va, vb), false};
    };
    const AxisRange h = shownRange(Direction::Horizontal), v = shownRange(Direction::Vertical);
    model_.zoomTo(valuesBetween(layout.x, pixels.left(), pixels.right()),
                  valuesBetween(layout.y, pixels.top(), pixels.bottom()));
    animateFrom(h, v);
}

void TChart::panBy(QPoint from, QPoint to) {
    if (from == to)
        return;
    stopAnimation();
    const auto layout = kelvos::chart::sceneLayout(drawnRect(), scene());
    // The picture follows the mouse: the ranges move the opposite way.
    model_.pan(Direction::Horizontal, layout.x.toValue(from.x()) - layout.x.toValue(to.x()));
    model_.pan(Direction::Vertical, layout.y.toValue(from.y()) - layout.y.toValue(to.y()));
    update();
}
