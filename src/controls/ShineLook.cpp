#include "ShineLook.h"

#include <algorithm>

namespace kelvos {

ShineLook shineLook(ShineState state, bool activeColorsEnabled) {
    const ColorSetRole hovered = activeColorsEnabled ? ColorSetRole::Active : ColorSetRole::Normal;
    const ColorSetRole hoveredPressed =
        activeColorsEnabled ? ColorSetRole::Active : ColorSetRole::Pressed;
    switch (state) {
    case ShineState::HoveredPressed:
        return {hoveredPressed, true, FrameSwitch::Active, true};
    case ShineState::Pressed:
        return {ColorSetRole::Pressed, false, FrameSwitch::Down, true};
    case ShineState::Hovered:
        return {hovered, true, FrameSwitch::Active, false};
    case ShineState::Up:
    case ShineState::Disabled:
        break;
    }
    return {ColorSetRole::Normal, false, FrameSwitch::Up, false};
}

ShineState shineEntered(ShineState state) {
    switch (state) {
    case ShineState::Up:
        return ShineState::Hovered;
    case ShineState::Pressed:
        return ShineState::HoveredPressed;
    default:
        return state;
    }
}

ShineState shineLeft(ShineState state) {
    switch (state) {
    case ShineState::Hovered:
        return ShineState::Up;
    case ShineState::HoveredPressed:
        return ShineState::Pressed;
    default:
        return state;
    }
}

QColor gradientColor(const QColor& start, const QColor& end, int index, int count) {
    const auto step = [&](int from, int to) { return from + index * (to - from) / count; };
    return QColor(step(start.red(), end.red()), step(start.green(), end.green()),
                  step(start.blue(), end.blue()));
}

namespace {
int channelMix(int value, int with, int weight) {
    return (value + weight * with) / (weight + 1);
}

QRgb mixed(QRgb pixel, QRgb with, int weight) {
    return qRgb(channelMix(qRed(pixel), qRed(with), weight),
                channelMix(qGreen(pixel), qGreen(with), weight),
                channelMix(qBlue(pixel), qBlue(with), weight));
}

QRgb rgbOnly(QRgb pixel) {
    return pixel & 0xFFFFFF;
}

bool isPicture(const QImage& image, int x, int y, QRgb transparent) {
    return image.rect().contains(x, y) && rgbOnly(image.pixel(x, y)) != rgbOnly(transparent);
}

bool touchesPicture(const QImage& image, int x, int y, QRgb transparent) {
    return isPicture(image, x - 1, y, transparent) || isPicture(image, x + 1, y, transparent) ||
           isPicture(image, x, y - 1, transparent) || isPicture(image, x, y + 1, transparent);
}

// Transparent pixels next to the picture become the shine colour.
QImage outlined(const QImage& glyph, QRgb transparent, QRgb shine) {
    QImage result = glyph;
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            if (!isPicture(glyph, x, y, transparent) && touchesPicture(glyph, x, y, transparent))
                result.setPixel(x, y, shine);
    return result;
}

template <typename Change>
QImage eachPicturePixel(const QImage& glyph, QRgb transparent, Change change) {
    QImage result = glyph.convertToFormat(QImage::Format_RGB32);
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            if (isPicture(glyph, x, y, transparent))
                result.setPixel(x, y, change(glyph.pixel(x, y), x, y));
    return result;
}
} // namespace

QImage litGlyph(const QImage& glyph, QRgb transparent, ActiveImage effect, QRgb shine) {
    switch (effect) {
    case ActiveImage::aiNoLight:
        return glyph;
    case ActiveImage::aiXorLight:
        return eachPicturePixel(glyph, transparent,
                                [&](QRgb c, int, int) { return rgbOnly(c ^ shine); });
    case ActiveImage::aiHalfLight:
        return eachPicturePixel(glyph, transparent,
                                [&](QRgb c, int, int) { return mixed(c, shine, 1); });
    case ActiveImage::aiQuaterLight:
        return eachPicturePixel(glyph, transparent,
                                [&](QRgb c, int, int) { return mixed(c, shine, 3); });
    case ActiveImage::aiAddLight:
        return eachPicturePixel(glyph, transparent, [&](QRgb c, int, int) {
            return qRgb(std::min(255, qRed(c) + qRed(shine)),
                        std::min(255, qGreen(c) + qGreen(shine)),
                        std::min(255, qBlue(c) + qBlue(shine)));
        });
    case ActiveImage::aiFrameLight:
        return outlined(glyph.convertToFormat(QImage::Format_RGB32), transparent, shine);
    case ActiveImage::aiFrameLight2: {
        const QImage once =
            outlined(glyph.convertToFormat(QImage::Format_RGB32), transparent, shine);
        return outlined(once, transparent, shine);
    }
    case ActiveImage::aiMaskLight:
        return eachPicturePixel(glyph, transparent,
                                [&](QRgb c, int x, int y) { return (x + y) % 2 ? c : shine; });
    }
    return glyph;
}

QImage treatedGlyph(const QImage& glyph, QRgb transparent, StateImage treatment, QRgb face) {
    switch (treatment) {
    case StateImage::diDefault:
        return glyph;
    case StateImage::diGrayscale:
        return eachPicturePixel(glyph, transparent, [](QRgb c, int, int) {
            const int grey = (qRed(c) + qGreen(c) + qBlue(c)) / 3;
            return qRgb(grey, grey, grey);
        });
    case StateImage::diAlphaHalfTrans:
        return eachPicturePixel(glyph, transparent,
                                [&](QRgb c, int, int) { return mixed(c, face, 1); });
    case StateImage::diAlphaQuaterTrans:
        return eachPicturePixel(glyph, transparent,
                                [&](QRgb c, int, int) { return mixed(c, face, 3); });
    case StateImage::diMaskTrans:
        return eachPicturePixel(glyph, transparent,
                                [&](QRgb c, int x, int y) { return (x + y) % 2 ? c : face; });
    }
    return glyph;
}

} // namespace kelvos
