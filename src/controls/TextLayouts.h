#pragma once

#include <QFont>
#include <QRectF>
#include <QStaticText>
#include <QString>

namespace kelvos {

// Laid-out single-line texts, kept for drawing the same texts again: laying out a text costs
// more than drawing its glyphs, and each lap repaints nearly the same axis labels and cells.
// A few hundred are kept per thread (painting may happen on any), the oldest all dropped at once.
class TextLayouts {
public:
    static const QStaticText& of(const QFont& font, const QString& text);
    // Whether a text draws the same laid out once as drawn by QPainter::drawText on one line:
    // no line breaks, tabs or other control characters.
    static bool plainLine(const QString& text);
    // Where a text `width` wide starts in box, aligned left, right or centred as drawText would.
    static qreal alignedLeft(const QRectF& box, qreal width, Qt::Alignment horizontal);
};

} // namespace kelvos
