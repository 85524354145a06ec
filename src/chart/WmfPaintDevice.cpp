#include "WmfPaintDevice.h"

#include "WmfRecorder.h"

#include <QPaintEngine>
#include <QPainterPath>
#include <QTextItem>
#include <cmath>
#include <numbers>
#include <optional>
#include <tuple>
#include <utility>
#include <variant>

namespace kelvos::chart {
namespace {

WmfRecorder::PenStyle penStyle(Qt::PenStyle style) {
    switch (style) {
    case Qt::NoPen:
        return WmfRecorder::NullPen;
    case Qt::DashLine:
        return WmfRecorder::Dash;
    case Qt::DotLine:
        return WmfRecorder::Dot;
    case Qt::DashDotLine:
        return WmfRecorder::DashDot;
    case Qt::DashDotDotLine:
        return WmfRecorder::DashDotDot;
    default:
        return WmfRecorder::Solid;
    }
}

int pixelHeight(const QFont& font) {
    if (font.pixelSize() > 0)
        return font.pixelSize();
    return int(std::lround(font.pointSizeF() * 96 / 72));
}

} // namespace

// Turns the painter's state into metafile objects, created only when a drawing needs one that
// differs from the selected one. A clip is a saved device context with a clip rectangle;
// objects selected when it was saved stay alive until it is restored.
class WmfPaintEngine : public QPaintEngine {
public:
    WmfPaintEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}

    bool begin(QPaintDevice* device) override {
        const QSize size(device->width(), device->height());
        recorder_ = WmfRecorder();
        current_ = saved_ = {};
        textColor_.reset();
        clipped_ = false;
        recorder_.setWindowOrg(0, 0);
        recorder_.setWindowExt(size.width(), size.height());
        recorder_.setBkMode(WmfRecorder::kTransparent);
        recorder_.setTextAlign(WmfRecorder::kAlignBaseline);
        size_ = size;
        setActive(true);
        return true;
    }

    bool end() override {
        // The objects still selected stay: a selected object cannot be deleted, and a player
        // frees its object table when the picture ends.
        setClip(std::nullopt);
        file_ = recorder_.placeableFile(size_.width(), size_.height());
        setActive(false);
        return true;
    }

    void updateState(const QPaintEngineState& state) override {
        const DirtyFlags dirty = state.state();
        if (dirty & DirtyPen)
            pen_ = state.pen();
        if (dirty & DirtyBrush)
            brush_ = state.brush();
        if (dirty & DirtyFont)
            font_ = state.font();
        if (dirty & DirtyTransform)
            transform_ = state.transform();
        if (dirty & (DirtyClipRegion | DirtyClipPath | DirtyClipEnabled))
            updateClip(state);
    }

    void drawRects(const QRectF* rects, int count) override {
        usePenAndBrush();
        // A rectangle outline covers its right and bottom edge lines too; a fill alone does not.
        const int outline = pen_.style() == Qt::NoPen ? 0 : 1;
        for (int i = 0; i < count; ++i) {
            const QRect r = transform_.mapRect(rects[i]).toRect();
            recorder_.rectangle(r.left(), r.top(), r.left() + r.width() + outline,
                                r.top() + r.height() + outline);
        }
    }

    void drawLines(const QLineF* lines, int count) override {
        usePen();
        for (int i = 0; i < count; ++i)
            recorder_.polyline(
                transform_.map(QPolygonF({lines[i].p1(), lines[i].p2()})).toPolygon());
    }

    void drawPolygon(const QPointF* points, int count, PolygonDrawMode mode) override {
        const QPolygon polygon =
            transform_.map(QPolygonF(QList<QPointF>(points, points + count))).toPolygon();
        if (mode == PolylineMode) {
            usePen();
            recorder_.polyline(polygon);
        } else {
            usePenAndBrush();
            recorder_.polygon(polygon);
        }
    }

    void drawPath(const QPainterPath& path) override {
        if (brush_.style() != Qt::NoBrush) {
            const QPen pen = std::exchange(pen_, QPen(Qt::NoPen));
            usePenAndBrush();
            for (const QPolygonF& p : path.toFillPolygons(transform_))
                recorder_.polygon(p.toPolygon());
            pen_ = pen;
        }
        if (pen_.style() != Qt::NoPen) {
            usePen();
            for (const QPolygonF& p : path.toSubpathPolygons(transform_))
                recorder_.polyline(p.toPolygon());
        }
    }

    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}

    void drawTextItem(const QPointF& p, const QTextItem& item) override {
        const double angle =
            std::atan2(transform_.m12(), transform_.m11()) * 180 / std::numbers::pi;
        useFont(int(std::lround(-angle * 10)));
        const QColor color = pen_.color();
        if (!textColor_ || *textColor_ != color) {
            recorder_.setTextColor(color);
            textColor_ = color;
        }
        recorder_.textOut(transform_.map(p).toPoint(), item.text().toLatin1());
    }

    Type type() const override { return QPaintEngine::User; }

    QByteArray file() const { return file_; }

private:
    using PenKey = std::tuple<int, int, QRgb>;
    using BrushKey = std::tuple<int, QRgb>;
    using FontKey = std::tuple<int, int, int, bool, QByteArray>;
    struct Selected {
        int index = -1;
        std::variant<std::monostate, PenKey, BrushKey, FontKey> key;
    };
    struct Selection {
        Selected pen, brush, font;
    };

    template <typename Key, typename Create>
    void use(Selected Selection::*kind, const Key& key, Create create) {
        Selected& now = current_.*kind;
        if (now.index >= 0 && std::holds_alternative<Key>(now.key) && std::get<Key>(now.key) == key)
            return;
        const int index = create();
        recorder_.selectObject(index);
        const int old = now.index;
        now = {index, key};
        if (old >= 0 && !(clipped_ && old == (saved_.*kind).index))
            recorder_.deleteObject(old);
    }

    void usePen() {
        const int width = std::max(1, int(std::lround(pen_.widthF())));
        const PenKey key{penStyle(pen_.style()), width, pen_.color().rgb()};
        use(&Selection::pen, key,
            [&] { return recorder_.createPen(penStyle(pen_.style()), width, pen_.color()); });
    }

    void usePenAndBrush() {
        usePen();
        const bool none = brush_.style() == Qt::NoBrush;
        const auto style = none ? WmfRecorder::NullBrush : WmfRecorder::SolidBrush;
        const BrushKey key{style, brush_.color().rgb()};
        use(&Selection::brush, key, [&] { return recorder_.createBrush(style, brush_.color()); });
    }

    void useFont(int escapement) {
        const FontKey key{pixelHeight(font_), escapement, font_.bold() ? 700 : 400, font_.italic(),
                          font_.family().toLatin1()};
        use(&Selection::font, key, [&] {
            return recorder_.createFont(-std::get<0>(key), escapement, std::get<2>(key),
                                        std::get<3>(key), std::get<4>(key));
        });
    }

    void updateClip(const QPaintEngineState& state) {
        if (!state.isClipEnabled() || state.clipOperation() == Qt::NoClip) {
            setClip(std::nullopt);
            return;
        }
        const QRect rect = state.state() & DirtyClipPath
                               ? transform_.map(state.clipPath()).boundingRect().toAlignedRect()
                               : transform_.mapRect(state.clipRegion().boundingRect());
        setClip(rect);
    }

    void setClip(std::optional<QRect> rect) {
        if (clipped_) {
            recorder_.restoreDC();
            for (Selected Selection::*kind :
                 {&Selection::pen, &Selection::brush, &Selection::font}) {
                if ((current_.*kind).index >= 0 && (current_.*kind).index != (saved_.*kind).index)
                    recorder_.deleteObject((current_.*kind).index);
            }
            current_ = saved_;
            textColor_.reset(); // the text colour is part of the restored context
            clipped_ = false;
        }
        if (rect) {
            recorder_.saveDC();
            recorder_.intersectClipRect(*rect);
            saved_ = current_;
            clipped_ = true;
        }
    }

    WmfRecorder recorder_;
    QSize size_;
    QPen pen_;
    QBrush brush_;
    QFont font_;
    QTransform transform_;
    std::optional<QColor> textColor_;
    Selection current_, saved_;
    bool clipped_ = false;
    QByteArray file_;
};

WmfPaintDevice::WmfPaintDevice(QSize size)
    : size_(size.expandedTo(QSize(1, 1))), engine_(std::make_unique<WmfPaintEngine>()) {}

WmfPaintDevice::~WmfPaintDevice() = default;

QPaintEngine* WmfPaintDevice::paintEngine() const {
    return engine_.get();
}

QByteArray WmfPaintDevice::metafile() const {
    return engine_->file();
}

int WmfPaintDevice::metric(PaintDeviceMetric metric) const {
    constexpr int kDpi = 96;
    switch (metric) {
    case PdmWidth:
        return size_.width();
    case PdmHeight:
        return size_.height();
    case PdmWidthMM:
        return int(size_.width() * 25.4 / kDpi);
    case PdmHeightMM:
        return int(size_.height() * 25.4 / kDpi);
    case PdmNumColors:
        return 0xffffff;
    case PdmDepth:
        return 24;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return kDpi;
    case PdmDevicePixelRatio:
        return 1;
    default:
        return QPaintDevice::metric(metric);
    }
}

} // namespace kelvos::chart
