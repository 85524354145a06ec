#include "ChartRenderer.h"

#include "TextLayouts.h"
#include "Thinning.h"
#include "ValueText.h"

#include <QImage>
#include <QPaintEngine>
#include <QPainter>
#include <QStaticText>
#include <algorithm>
#include <cmath>

namespace kelvos::chart {
namespace {

const QString kTitle = QStringLiteral(
    "Left drag (UP/Down) to Zoom. Right drag to Scroll. Invert Zoom rectangle to reset.");
const QString kLeftAxisTitle = QStringLiteral("millisecond");

const QColor kNavy(0, 0, 128);
const QColor kPanel(81, 97, 170);
const QColor kFrame(65, 72, 101);
const QColor kBackBottom(32, 128, 223);
const QColor kBackTop(51, 204, 139);
const QColor kBackWall(120, 78, 63);
const QColor kBottomWall(186, 196, 155);
const QColor kBottomWallBrush(89, 125, 174);
const QColor kLeftWall(206, 219, 179);
const QColor kLeftWallPen(64, 95, 125);
const QColor kSilver(192, 192, 192);
const QColor kGray(128, 128, 128);

constexpr int kFrameWidth = 2;
constexpr int kLeftWallPenWidth = 5;
constexpr int kBackWallSize = 5;
constexpr int kBottomWallSize = 9;
constexpr int kGradientBand = 2;
constexpr int kTickLength = 4;

struct SeriesLook {
    QColor color;
    QColor fill;
    int markerHalf;
    bool line;
    int markFontPixels;
    bool markBold;
    QColor markColor;
    int arrowLength;
};

const SeriesLook kSeries[ChartModel::kSeriesCount] = {
    {QColor(0, 255, 128), QColor(176, 255, 216), 5, true, 15, true, Qt::white, 18},
    {QColor(255, 0, 0), QColor(255, 0, 128), 3, false, 13, false, QColor(255, 0, 0), 6},
};

QFont textFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setStyleStrategy(QFont::NoAntialias);
    return font;
}

QFont timesFont(int pixels, bool bold) {
    return textFont(QStringLiteral("Times New Roman"), pixels, bold);
}

QFont labelFont() {
    return textFont(QStringLiteral("Arial"), 11, false);
}

// Far outside the picture a point only gives a line its direction: keep it within int range.
QPoint pixel(QPointF p) {
    constexpr double kFar = 1e6;
    return {int(std::lround(std::clamp(p.x(), -kFar, kFar))),
            int(std::lround(std::clamp(p.y(), -kFar, kFar)))};
}

// The screen and bitmaps are drawn by the raster engine, which can reuse what it drew before;
// a metafile records every call as it comes.
bool onRaster(const QPainter& p) {
    return p.paintEngine() && p.paintEngine()->type() == QPaintEngine::Raster;
}

// The raster engine strokes a one-pixel line pixel by pixel; a solid line that is level or
// upright covers the same pixels as a one-pixel-wide rectangle, which it fills row by row.
void drawStraightLine(QPainter& p, int x1, int y1, int x2, int y2) {
    const QPen& pen = p.pen();
    if (onRaster(p) && (x1 == x2 || y1 == y2) && pen.style() == Qt::SolidLine &&
        pen.widthF() <= 1 && p.deviceTransform().type() <= QTransform::TxTranslate) {
        p.fillRect(QRect(QPoint(std::min(x1, x2), std::min(y1, y2)),
                         QPoint(std::max(x1, x2), std::max(y1, y2))),
                   pen.color());
        return;
    }
    p.drawLine(x1, y1, x2, y2);
}

// An upright dotted line, one pixel on and two off from its top, as the raster engine strokes
// a one-pixel dotted pen; from a kept column of dots it is one copy instead of a stroke.
void drawDottedUpright(QPainter& p, int x, int top, int bottom, const QColor& color) {
    if (!onRaster(p) || p.deviceTransform().type() > QTransform::TxTranslate || bottom < top) {
        p.setPen(QPen(color, 1, Qt::DotLine));
        p.drawLine(x, top, x, bottom);
        return;
    }
    thread_local QImage dots;
    const int height = bottom - top + 1;
    if (dots.height() < height || dots.pixelColor(0, 0) != color) {
        dots = QImage(1, height, QImage::Format_ARGB32_Premultiplied);
        dots.fill(Qt::transparent);
        for (int y = 0; y < height; y += 3)
            dots.setPixelColor(0, y, color);
    }
    p.drawImage(QPoint(x, top), dots, QRect(0, 0, 1, height));
}

void drawText(QPainter& p, const QRectF& box, Qt::Alignment align, const QString& text) {
    if (!onRaster(p)) {
        p.drawText(box, int(align), text);
        return;
    }
    const QStaticText& layout = TextLayouts::of(p.font(), text);
    const QSizeF size = layout.size();
    const double x = TextLayouts::alignedLeft(box, size.width(), align);
    const double y = align & Qt::AlignBottom    ? box.bottom() + 1 - size.height()
                     : align & Qt::AlignVCenter ? box.top() + (box.height() - size.height()) / 2
                                                : box.top();
    p.drawStaticText(QPointF(std::round(x), std::round(y)), layout);
}

void drawPanel(QPainter& p, QRect area) {
    p.fillRect(area, kPanel);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::black, 1));
    p.drawRect(area.adjusted(0, 0, -1, -1));
    // Lowered bevel inside the border: shadow above and left, light below and right.
    const QRect bevel = area.adjusted(2, 2, -3, -3);
    p.setPen(QPen(kGray, 1));
    p.drawLine(bevel.topLeft(), bevel.topRight());
    p.drawLine(bevel.topLeft(), bevel.bottomLeft());
    p.setPen(QPen(Qt::white, 1));
    p.drawLine(bevel.bottomLeft(), bevel.bottomRight());
    p.drawLine(bevel.topRight(), bevel.bottomRight());
}

void drawTitle(QPainter& p, const ChartLayout& l) {
    p.setFont(timesFont(15, true));
    p.setPen(kNavy);
    drawText(p, l.title, Qt::AlignHCenter | Qt::AlignVCenter, kTitle);
}

// The back's gradient, bottom to top, as horizontal bands of solid colour.
void paintGradientBands(QPainter& p, QRect r) {
    const int height = std::max(1, r.height());
    for (int y = 0; y < r.height(); y += kGradientBand) {
        const double t = (y + kGradientBand / 2.0) / height; // 0 at the bottom
        const QColor c = QColor::fromRgbF(
            float(kBackBottom.redF() + (kBackTop.redF() - kBackBottom.redF()) * t),
            float(kBackBottom.greenF() + (kBackTop.greenF() - kBackBottom.greenF()) * t),
            float(kBackBottom.blueF() + (kBackTop.blueF() - kBackBottom.blueF()) * t));
        const int bandHeight = std::min(kGradientBand, r.height() - y);
        p.fillRect(QRect(r.left(), r.bottom() - y - bandHeight + 1, r.width(), bandHeight), c);
    }
}

// The back: its gradient inside the frame.
void drawBack(QPainter& p, QRect back) {
    paintGradientBands(p, back);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(kFrame, kFrameWidth));
    p.drawRect(back);
}

QPointF unitDepth(QPointF depth) {
    const double length = std::hypot(depth.x(), depth.y());
    return length > 0 ? depth / length : QPointF();
}

void drawWalls(QPainter& p, const ChartLayout& l) {
    const Walls walls = wallsOf(l.front, l.depth);
    const QRect back = l.back().toRect();
    // The back wall's thickness shows as a strip beyond its far edges.
    p.setPen(Qt::NoPen);
    p.setBrush(kBackWall);
    p.drawRect(back.translated(pixel(unitDepth(l.depth) * kBackWallSize)));
    drawBack(p, back);

    p.setPen(Qt::NoPen);
    p.setBrush(kBottomWallBrush);
    p.drawPolygon(walls.bottom.translated(0, kBottomWallSize).toPolygon());
    p.setBrush(kBottomWall);
    p.drawPolygon(walls.bottom.toPolygon());

    p.setPen(QPen(kLeftWallPen, kLeftWallPenWidth));
    p.setBrush(kLeftWall);
    p.drawPolygon(walls.left.toPolygon());
}

double horizontalStep(const ChartLayout& l) {
    // The bottom axis counts points: no step below one.
    return std::max(1.0, niceTickStep(l.x.maximum - l.x.minimum, l.front.width(), 60));
}

double verticalStep(const ChartLayout& l) {
    // The values are whole milliseconds: no step below one.
    return std::max(1.0, niceTickStep(l.y.maximum - l.y.minimum, l.front.height(), 28));
}

void drawGrid(QPainter& p, const ChartLayout& l) {
    const QRectF back = l.back();
    const QPointF d = l.depth;
    p.setPen(QPen(kSilver, 1, Qt::SolidLine));
    for (double v : tickValues({l.y.minimum, l.y.maximum}, verticalStep(l))) {
        const int y = int(std::lround(l.y.toPixel(v) + d.y()));
        drawStraightLine(p, int(back.left()), y, int(back.right()), y);
    }
    for (double v : tickValues({l.x.minimum, l.x.maximum}, horizontalStep(l))) {
        const int x = int(std::lround(l.x.toPixel(v) + d.x()));
        drawDottedUpright(p, x, int(back.top()), int(back.bottom()), kGray);
    }
}

void drawAxes(QPainter& p, const ChartLayout& l) {
    const QRectF front = l.front, back = l.back();
    const int left = int(front.left()), bottom = int(front.bottom());
    const int right = int(back.right()), rightShift = int(std::lround(l.depth.y()));
    p.setPen(QPen(Qt::black, 1));
    drawStraightLine(p, left, int(front.top()), left, bottom);
    drawStraightLine(p, left, bottom, int(front.right()), bottom);
    drawStraightLine(p, right, int(back.top()), right, int(back.bottom()));

    p.setFont(labelFont());
    const int h = ChartLayout::kLabelHeight, w = ChartLayout::kLabelWidth;
    for (double v : tickValues({l.y.minimum, l.y.maximum}, verticalStep(l))) {
        const int y = int(std::lround(l.y.toPixel(v)));
        const QString text = valueText(v);
        drawStraightLine(p, left - kTickLength, y, left, y);
        drawText(p, QRect(left - kTickLength - w - 2, y - h / 2, w, h),
                 Qt::AlignRight | Qt::AlignVCenter, text);
        drawStraightLine(p, right, y + rightShift, right + kTickLength, y + rightShift);
        drawText(p, QRect(right + kTickLength + 2, y + rightShift - h / 2, w, h),
                 Qt::AlignLeft | Qt::AlignVCenter, text);
    }
    for (double v : tickValues({l.x.minimum, l.x.maximum}, horizontalStep(l))) {
        const int x = int(std::lround(l.x.toPixel(v)));
        drawStraightLine(p, x, bottom, x, bottom + kTickLength);
        drawText(p, QRect(x - w / 2, bottom + kTickLength, w, h), Qt::AlignHCenter | Qt::AlignTop,
                 valueText(v));
    }
}

void drawAxisTitle(QPainter& p, const ChartLayout& l) {
    const QRectF front = l.front;
    p.save();
    p.setFont(timesFont(15, false));
    p.setPen(kNavy);
    const int left = int(front.left());
    const double titleX =
        left - kTickLength - ChartLayout::kLabelWidth - 4 - ChartLayout::kAxisTitleWidth / 2.0;
    p.translate(titleX, front.center().y());
    p.rotate(-90);
    drawText(p,
             QRectF(-front.height() / 2, -ChartLayout::kAxisTitleWidth / 2.0, front.height(),
                    ChartLayout::kAxisTitleWidth),
             Qt::AlignCenter, kLeftAxisTitle);
    p.restore();
}

// What does not change with the data or the ranges: the panel, the titles and the back (the
// walls in 3D).
void drawStaticLayer(QPainter& p, const ChartLayout& l, bool view3D) {
    drawPanel(p, l.area);
    drawTitle(p, l);
    if (view3D)
        drawWalls(p, l);
    else
        drawBack(p, l.front.toRect());
    drawAxisTitle(p, l);
}

// A repaint per lap would lay out the titles and paint the gradient again: on the raster
// engine the layer is painted once per size and view and then copied.
void drawCachedStaticLayer(QPainter& p, const ChartLayout& l, const View3D& view) {
    if (!onRaster(p)) {
        drawStaticLayer(p, l, view.on);
        return;
    }
    struct Layer {
        QImage image;
        QSize size;
        View3D view;
        qreal scale = 1;
    };
    thread_local Layer layer;
    // At a scale the layer is kept at the pixels it covers, so that it stays sharp, and copied
    // to them unscaled.
    const qreal scale = p.worldTransform().m11();
    const qreal ratio = p.device()->devicePixelRatio();
    if (layer.size != l.area.size() || !(layer.view == view) || layer.scale != scale ||
        layer.image.devicePixelRatio() != ratio) {
        layer = {QImage(l.area.size() * scale * ratio, QImage::Format_RGB32), l.area.size(), view,
                 scale};
        layer.image.setDevicePixelRatio(ratio);
        QPainter painter(&layer.image);
        painter.scale(scale, scale);
        painter.setRenderHint(QPainter::Antialiasing, false);
        painter.setRenderHint(QPainter::TextAntialiasing, false);
        const QRect origin(QPoint(0, 0), l.area.size());
        drawStaticLayer(painter, layoutChart(origin, view, {}, {}, true), view.on);
    }
    const QPoint at = p.worldTransform().map(QPointF(l.area.topLeft())).toPoint();
    p.save();
    p.resetTransform();
    p.drawImage(at, layer.image);
    p.restore();
}

std::vector<QPoint> seriesPixels(const ChartScene& scene, const ChartLayout& l, int series) {
    const auto& values = scene.model.values(series);
    const IndexSpan span = indicesInView(int(values.size()), scene.horizontal);
    const QPolygonF line = thinnedPolyline(values, span, l.x, l.y);
    std::vector<QPoint> points;
    points.reserve(line.size());
    for (const QPointF& pt : line)
        points.push_back(pixel(pt));
    return points;
}

// In 3D a line becomes a ribbon reaching back by `depth`, and a marker a small box.
void drawSeries(QPainter& p, const std::vector<QPoint>& points, const SeriesLook& look,
                QPoint depth) {
    const bool deep = !depth.isNull();
    if (look.line && deep) {
        p.setPen(QPen(look.color.darker(150), 1));
        p.setBrush(look.color);
        for (size_t i = 0; i + 1 < points.size(); ++i)
            p.drawPolygon(
                QPolygon({points[i], points[i + 1], points[i + 1] + depth, points[i] + depth}));
    }
    if (look.line && points.size() >= 2) {
        p.setPen(QPen(look.color, 1));
        p.drawPolyline(points.data(), int(points.size()));
    }
    const int half = look.markerHalf;
    if (deep) {
        const QPoint side = pixel(unitDepth(depth) * half);
        p.setPen(QPen(look.color.darker(150), 1));
        p.setBrush(look.fill.darker(130));
        for (const QPoint& pt : points) {
            const QPoint tl(pt.x() - half, pt.y() - half), tr(pt.x() + half, pt.y() - half),
                br(pt.x() + half, pt.y() + half);
            p.drawPolygon(QPolygon({tl, tr, tr + side, tl + side}));
            p.drawPolygon(QPolygon({tr, br, br + side, tr + side}));
        }
    }
    std::vector<QRect> markers;
    markers.reserve(points.size());
    for (const QPoint& pt : points)
        markers.emplace_back(pt.x() - half, pt.y() - half, 2 * half, 2 * half);
    p.setPen(QPen(look.color, 1));
    p.setBrush(look.fill);
    p.drawRects(markers.data(), int(markers.size()));
}

void drawMarks(QPainter& p, const ChartScene& scene, const ChartLayout& l, int series) {
    const SeriesLook& look = kSeries[series];
    const auto& values = scene.model.values(series);
    const AxisRange shown = drawableRange(scene.horizontal);
    if (values.size() == 0 || shown.maximum < 0 || shown.minimum > values.size() - 1)
        return;
    const int first = int(std::max(0.0, std::ceil(shown.minimum)));
    const int last = int(std::min(double(values.size() - 1), std::floor(shown.maximum)));
    // Marks of many points would cover each other: every k-th point keeps one.
    const int room = std::max(1, int(l.front.width() / 12));
    const int stride = std::max(1, (last - first + 1 + room - 1) / room);
    const QFont font = timesFont(look.markFontPixels, look.markBold);
    const QSize textBox(120, look.markFontPixels + 4);
    const int plotTop = int(std::min(l.front.top(), l.back().top()));
    p.setFont(font);
    const AxisRange vertical = drawableRange(scene.vertical);
    for (int i = first; i <= last; i += stride) {
        if (values[i] < vertical.minimum || values[i] > vertical.maximum)
            continue; // a point outside the view has no mark
        const QPoint at = pixel({l.x.toPixel(i), l.y.toPixel(values[i])});
        const MarkPlace mark = markPlace(at, look.markerHalf, look.arrowLength, textBox, plotTop);
        p.setPen(QPen(Qt::white, 1));
        drawStraightLine(p, mark.arrow.x1(), mark.arrow.y1(), mark.arrow.x2(), mark.arrow.y2());
        p.setPen(look.markColor);
        drawText(p, mark.text, Qt::AlignHCenter | Qt::AlignVCenter, valueText(values[i]));
    }
}

} // namespace

ChartLayout sceneLayout(QRect area, const ChartScene& scene) {
    return layoutChart(area, scene.view, scene.horizontal, scene.vertical, true);
}

QRect changingRect(QRect area, const ChartScene& scene) {
    if (scene.marks)
        return area;
    const ChartLayout l = sceneLayout(area, scene);
    const QRectF planes = l.front.united(l.back());
    const double labels = kTickLength + 2 + ChartLayout::kLabelWidth;
    // The frame's pen reaches a pixel beyond the back; the labels reach half their height
    // beyond the highest and lowest tick.
    const QRectF changing = planes
                                .adjusted(-labels, -ChartLayout::kLabelHeight, labels,
                                          kTickLength + ChartLayout::kLabelHeight)
                                .adjusted(-kFrameWidth, -kFrameWidth, kFrameWidth, kFrameWidth);
    return changing.toAlignedRect() & area;
}

void drawChart(QPainter& p, QRect area, const ChartScene& scene) {
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    const ChartLayout l = sceneLayout(area, scene);
    drawCachedStaticLayer(p, l, scene.view);
    drawGrid(p, l);
    drawAxes(p, l);

    // The series stand on the front plane and reach back by half the depth.
    const QPoint ribbon = pixel(l.depth / 2);
    p.setClipRect(l.front.united(l.front.translated(ribbon)).toAlignedRect());
    for (int s = 0; s < ChartModel::kSeriesCount; ++s)
        drawSeries(p, seriesPixels(scene, l, s), kSeries[s], ribbon);
    p.setClipping(false);
    if (scene.marks) {
        for (int s = 0; s < ChartModel::kSeriesCount; ++s)
            drawMarks(p, scene, l, s);
    }
    p.restore();
}

} // namespace kelvos::chart
