#include "HintShape.h"

#include <QPainterPath>
#include <QPolygon>
#include <algorithm>

namespace kelvos {

QRect hintWindowRect(HintStyle style, const QRect& textRect) {
    switch (style) {
    case HintStyle::hsFukidashi:
        return textRect.adjusted(0, 0, 0, kBalloonTail);
    case HintStyle::hsLineString:
        return textRect.adjusted(0, 0, 21, 12);
    case HintStyle::hsRoundRect:
    case HintStyle::hsOwnerDraw:
        break;
    }
    return textRect;
}

namespace {
// The tail's base runs from the tip this far to the left.
constexpr int kTailWidth = 6;

// A polygon given for a tail on top, turned upside down for a tail at the bottom; `bottom` is
// the y of the window's bottom edge as the polygon's kind counts it.
template <typename Points> Points flipped(Points points, BalloonTail tail, int bottom) {
    if (!tail.onTop) {
        for (QPoint& point : points)
            point.setY(bottom - point.y());
    }
    return points;
}
} // namespace

QRegion hintWindowRegion(HintStyle style, QSize size, BalloonTail tail) {
    const int w = size.width(), h = size.height();
    switch (style) {
    case HintStyle::hsFukidashi: {
        const int t = tail.tipX;
        const QPolygon balloon({{t, 0},
                                {t - kTailWidth, kBalloonTail},
                                {0, kBalloonTail},
                                {0, h},
                                {w, h},
                                {w, kBalloonTail},
                                {t, kBalloonTail}});
        return QRegion(flipped(balloon, tail, h), Qt::WindingFill);
    }
    case HintStyle::hsRoundRect: {
        QPainterPath rounded;
        rounded.addRoundedRect(QRectF(0, 0, w + 1, h + 1), 4, 4);
        return QRegion(rounded.toFillPolygon().toPolygon(), Qt::WindingFill);
    }
    case HintStyle::hsLineString:
        return QRegion(1, 1, w - 2, h - 2);
    case HintStyle::hsOwnerDraw:
        break;
    }
    return {};
}

std::array<QPoint, 8> balloonOutline(QSize size, BalloonTail tail) {
    const int w = size.width(), h = size.height(), t = tail.tipX;
    const std::array<QPoint, 8> outline{QPoint(t, 0),
                                        QPoint(t - 5, kBalloonTail),
                                        QPoint(0, kBalloonTail),
                                        QPoint(0, h - 1),
                                        QPoint(w - 1, h - 1),
                                        QPoint(w - 1, kBalloonTail),
                                        QPoint(t - 1, kBalloonTail),
                                        QPoint(t - 1, 0)};
    return flipped(outline, tail, h - 1);
}

QPoint balloonTextOffset(BalloonTail tail) {
    return {3, tail.onTop ? kBalloonTail : 0};
}

HintPlacement placeHint(HintStyle style, QSize textSize, QPoint pointer, const QRect& control,
                        const QRect& workArea) {
    constexpr int kTipFromPointer = 14;
    QRect text(pointer + QPoint(0, kPointerHeight), textSize);
    QRect window = hintWindowRect(style, text);
    BalloonTail tail;
    if (window.bottom() > workArea.bottom()) {
        // A tall control has room above the pointer within itself.
        window.moveBottom(std::max(control.top(), pointer.y() - kPointerHeight) - 1);
        tail.onTop = false;
    }
    window.moveBottom(std::min(window.bottom(), workArea.bottom()));
    window.moveTop(std::max(window.top(), workArea.top()));
    window.moveRight(std::min(window.right(), workArea.right()));
    window.moveLeft(std::max(window.left(), workArea.left()));
    tail.tipX = std::clamp(pointer.x() + kTipFromPointer - window.left(), kTailWidth,
                           std::max(kTailWidth, window.width() - 2));
    text.moveTopLeft(window.topLeft());
    return {text, tail};
}

} // namespace kelvos
