#pragma once

#include <QColor>
#include <QImage>

namespace kelvos {

// The five states of a gradient speed button, numbered as its look table numbers them.
enum class ShineState { HoveredPressed = 0, Pressed = 1, Hovered = 2, Up = 3, Disabled = 4 };

enum class ColorSetRole { Normal, Active, Pressed };
enum class FrameSwitch { Up, Down, Active };

// What a state looks like: which colour set paints it, whether the hover font is used, which
// frame switch decides whether a frame is drawn, and whether glyph and caption sink a pixel.
struct ShineLook {
    ColorSetRole colors;
    bool activeFont;
    FrameSwitch frame;
    bool sunk;
};
ShineLook shineLook(ShineState state, bool activeColorsEnabled);

// The state after the pointer enters or leaves the button.
ShineState shineEntered(ShineState state);
ShineState shineLeft(ShineState state);

// Column (or row) index of count columns of a gradient from start to end: each channel moves
// by index * (end - start) / count, truncated toward zero, so the last column stops one step
// short of end.
QColor gradientColor(const QColor& start, const QColor& end, int index, int count);

// Glyph effects; pixels of the transparent colour are left alone.
enum class ActiveImage {
    aiNoLight,
    aiXorLight,
    aiHalfLight,
    aiQuaterLight,
    aiAddLight,
    aiFrameLight,
    aiFrameLight2,
    aiMaskLight
};
enum class StateImage { diDefault, diGrayscale, diAlphaHalfTrans, diAlphaQuaterTrans, diMaskTrans };

// The hover effect with the shine colour.
QImage litGlyph(const QImage& glyph, QRgb transparent, ActiveImage effect, QRgb shine);
// The up, down or disabled treatment; face is the normal face colour.
QImage treatedGlyph(const QImage& glyph, QRgb transparent, StateImage treatment, QRgb face);

} // namespace kelvos
