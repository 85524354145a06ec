#pragma once

#include <QProxyStyle>

class QStyleOptionSlider;

namespace kelvos {

// The platform style with scroll bars of plain colours. The grids' scroll bars change at every
// recorded lap; a gradient groove or slider taller than a few dozen pixels is handed by the
// raster engine to a thread pool and waited for, which costs more than the whole rest of the
// bar. The arrow buttons keep the platform look.
class FlatScrollBarStyle final : public QProxyStyle {
public:
    // One style for every grid, alive as long as the application.
    static FlatScrollBarStyle* shared();

    // The bar paints every pixel of itself: what lies beneath need not be painted first.
    void polish(QWidget* widget) override;
    // A grid's scroll bars are as wide as the grid's scale makes them.
    int pixelMetric(PixelMetric metric, const QStyleOption* option = nullptr,
                    const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;

private:
    FlatScrollBarStyle() = default;
    void drawGrooveAndSlider(const QStyleOptionSlider& bar, QPainter* painter,
                             const QWidget* widget) const;
};

} // namespace kelvos
