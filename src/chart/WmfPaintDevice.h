#pragma once

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>
#include <memory>

namespace kelvos::chart {

class WmfPaintEngine;

// A paint device that records what a QPainter draws as a placeable Windows metafile of
// size.width() x size.height() logical units (one unit a pixel at 96 dpi). Lines, polygons,
// rectangles, paths (flattened) and text are kept; pixmaps and images are left out.
class WmfPaintDevice : public QPaintDevice {
public:
    explicit WmfPaintDevice(QSize size);
    ~WmfPaintDevice() override;

    QPaintEngine* paintEngine() const override;
    // The file once painting has ended.
    QByteArray metafile() const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize size_;
    std::unique_ptr<WmfPaintEngine> engine_;
};

} // namespace kelvos::chart
