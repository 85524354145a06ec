#include "SortArrows.h"

#include <QColor>
#include <array>

namespace kelvos {

namespace {

constexpr int arrowWidth = 8;
constexpr int arrowHeight = 9;

// '.' silver background, 'd' dark grey, 'w' white.
using ArrowPixels = std::array<const char*, arrowHeight>;

constexpr ArrowPixels upPixels{
    "........", //
    "...dw...", //
    "..d..w..", //
    "..d..w..", //
    ".d....w.", //
    ".d....w.", //
    "d......w", //
    "wwwwwwww", //
    "........", //
};

constexpr ArrowPixels downPixels{
    "........", //
    "dddddddw", //
    "d......w", //
    ".d....w.", //
    ".d....w.", //
    "..d..w..", //
    "..d..w..", //
    "...dw...", //
    "........", //
};

QImage drawArrow(const ArrowPixels& pixels) {
    QImage image(arrowWidth, arrowHeight, QImage::Format_RGB32);
    for (int y = 0; y < arrowHeight; ++y) {
        for (int x = 0; x < arrowWidth; ++x) {
            QColor color(Qt::lightGray);
            if (pixels[std::size_t(y)][x] == 'd')
                color = Qt::darkGray;
            else if (pixels[std::size_t(y)][x] == 'w')
                color = Qt::white;
            image.setPixelColor(x, y, color);
        }
    }
    return image;
}

} // namespace

const QImage& sortArrowUp() {
    static const QImage image = drawArrow(upPixels);
    return image;
}

const QImage& sortArrowDown() {
    static const QImage image = drawArrow(downPixels);
    return image;
}

} // namespace kelvos
