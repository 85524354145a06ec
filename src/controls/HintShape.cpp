#include "HintShape.h"

#include <QPainterPath>
#include <QPolygon>

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

QRegion hintWindowRegion(HintStyle style, QSize size) {
    const int w = size.width(), h = size.height();
    switch (style) {
    case HintStyle::hsFukidashi: {
        const QPolygon balloon({{14, 0}, {8, 9}, {0, 9}, {0, h}, {w, h}, {w, 9}, {14, 9}});
        return QRegion(balloon, Qt::WindingFill);
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

std::array<QPoint, 8> balloonOutline(QSize size) {
    const int w = size.width(), h = size.height();
    return {QPoint(14, 0),        QPoint(9, 9),     QPoint(0, 9),  QPoint(0, h - 1),
            QPoint(w - 1, h - 1), QPoint(w - 1, 9), QPoint(13, 9), QPoint(13, 0)};
}

} // namespace kelvos
