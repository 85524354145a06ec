#include "DesignScale.h"

#include <algorithm>
#include <cmath>

namespace kelvos {

QSize scaledSize(QSize size, double scale) {
    return {int(std::lround(size.width() * scale)), int(std::lround(size.height() * scale))};
}

namespace {
QSize extentOf(QMargins frame) {
    return {frame.left() + frame.right(), frame.top() + frame.bottom()};
}
} // namespace

double fittingScale(QSize design, QSize space, double wanted) {
    const double fit = std::min(double(space.width()) / std::max(design.width(), 1),
                                double(space.height()) / std::max(design.height(), 1));
    return std::clamp(std::min(fit, wanted), kMinimumScale, kMaximumScale);
}

double scaleOf(QSize design, QSize client) {
    return std::min(double(client.width()) / std::max(design.width(), 1),
                    double(client.height()) / std::max(design.height(), 1));
}

QRect designArea(QSize design, QSize client) {
    const QSize size = scaledSize(design, scaleOf(design, client));
    return {QPoint((client.width() - size.width()) / 2, (client.height() - size.height()) / 2),
            size};
}

QRect scaledRect(const QRect& rect, double scale) {
    const auto at = [scale](int v) { return int(std::lround(v * scale)); };
    const int left = at(rect.x()), top = at(rect.y());
    return {left, top, at(rect.x() + rect.width()) - left, at(rect.y() + rect.height()) - top};
}

int scaledPixels(int pixels, double scale) {
    return std::max(1, int(std::lround(pixels * scale)));
}

QFont scaledFont(QFont font, double scale, double logicalDpi) {
    if (scale == 1)
        return font;
    constexpr double kPointsPerInch = 72;
    if (font.pixelSize() > 0)
        font.setPointSizeF(font.pixelSize() * scale * kPointsPerInch / logicalDpi);
    else
        font.setPointSizeF(font.pointSizeF() * scale);
    return font;
}

WindowOpening openingPlace(QSize design, QMargins frame, const QList<QRect>& workAreas,
                           QRect pointerWorkArea, const std::optional<WindowPlace>& kept) {
    const QSize frameExtent = extentOf(frame);
    const auto frameSize = [&](double scale) { return scaledSize(design, scale) + frameExtent; };
    if (kept) {
        for (const QRect& area : workAreas) {
            if (!area.contains(kept->framePosition))
                continue;
            const double scale = fittingScale(design, area.size() - frameExtent, kept->scale);
            if (area.contains(QRect(kept->framePosition, frameSize(scale))))
                return {scale, kept->framePosition};
        }
    }
    const double scale =
        fittingScale(design, pointerWorkArea.size() - frameExtent, kept ? kept->scale : 1.0);
    const QSize size = frameSize(scale);
    // A window larger than the work area keeps its title bar on the screen.
    const QPoint centred(std::max(0, (pointerWorkArea.width() - size.width()) / 2),
                         std::max(0, (pointerWorkArea.height() - size.height()) / 2));
    return {scale, pointerWorkArea.topLeft() + centred};
}

} // namespace kelvos
