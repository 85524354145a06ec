#include "FlatScrollBarStyle.h"

#include "DesignScale.h"
#include "TextGrid.h"

#include <QApplication>
#include <QPainter>
#include <QScrollBar>
#include <QStyleOptionSlider>

namespace kelvos {

FlatScrollBarStyle* FlatScrollBarStyle::shared() {
    static FlatScrollBarStyle* style = [] {
        auto* made = new FlatScrollBarStyle;
        made->setParent(qApp); // goes with the application, after the last grid
        return made;
    }();
    return style;
}

void FlatScrollBarStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    if (qobject_cast<QScrollBar*>(widget))
        widget->setAttribute(Qt::WA_OpaquePaintEvent);
}

int FlatScrollBarStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                    const QWidget* widget) const {
    const int pixels = QProxyStyle::pixelMetric(metric, option, widget);
    if (metric != PM_ScrollBarExtent)
        return pixels;
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        if (const auto* grid = qobject_cast<const TextGrid*>(w))
            return scaledPixels(pixels, grid->displayScale());
    }
    return pixels;
}

void FlatScrollBarStyle::drawComplexControl(ComplexControl control,
                                            const QStyleOptionComplex* option, QPainter* painter,
                                            const QWidget* widget) const {
    const auto* bar = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !bar)
        return QProxyStyle::drawComplexControl(control, option, painter, widget);
    drawGrooveAndSlider(*bar, painter, widget);
    QStyleOptionSlider arrows = *bar;
    arrows.subControls &= SC_ScrollBarAddLine | SC_ScrollBarSubLine;
    if (arrows.subControls)
        QProxyStyle::drawComplexControl(control, &arrows, painter, widget);
}

void FlatScrollBarStyle::drawGrooveAndSlider(const QStyleOptionSlider& bar, QPainter* painter,
                                             const QWidget* widget) const {
    const QPalette& palette = bar.palette;
    // The bar paints every pixel of itself: the platform's arrows leave some of theirs.
    painter->fillRect(bar.rect, palette.window());
    const QRect groove = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarGroove, widget);
    painter->fillRect(groove, palette.window().color().darker(108));
    if (!(bar.subControls & SC_ScrollBarSlider) || bar.minimum == bar.maximum)
        return;
    const QRect slider = subControlRect(CC_ScrollBar, &bar, SC_ScrollBarSlider, widget);
    const bool pressed = (bar.state & State_Sunken) && (bar.activeSubControls & SC_ScrollBarSlider);
    const QColor face = palette.button().color();
    painter->fillRect(slider, pressed ? face.darker(112) : face);
    painter->setPen(palette.mid().color());
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(slider.adjusted(0, 0, -1, -1));
}

} // namespace kelvos
