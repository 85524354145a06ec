#pragma once

#include <QFont>
#include <QList>
#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <optional>

namespace kelvos {

// A window is laid out at a scale of its designed size: small enough to fit a small or
// high-density screen, large enough to be read from a distance.
constexpr double kMinimumScale = 0.6;
constexpr double kMaximumScale = 2.0;

// The largest scale, at most `wanted` and within the limits, at which the design fits the
// space.
double fittingScale(QSize design, QSize space, double wanted = kMaximumScale);

// The scale at which the design fills a client area of this size on its shorter side.
double scaleOf(QSize design, QSize client);

// Where the design lies in the client area at that scale: centred, the rest left to the
// window's background.
QRect designArea(QSize design, QSize client);

// A designed size at a scale.
QSize scaledSize(QSize size, double scale);

// A designed rectangle at a scale. Its edges are scaled, not its size, so controls that touch
// in the design still touch.
QRect scaledRect(const QRect& rect, double scale);

// A font's pixel size at a scale; never below one pixel.
int scaledPixels(int pixels, double scale);

// A font at a scale, on a device of that logical resolution (dots per inch). Its size is
// fractional, so that texts keep their proportions to the controls they are in; at the
// designed scale the font is left as it is.
QFont scaledFont(QFont font, double scale, double logicalDpi);

// The place a window had, as kept with the settings: its scale and its frame's top left.
struct WindowPlace {
    double scale = 1;
    QPoint framePosition;
    bool operator==(const WindowPlace&) const = default;
};

// What a window is opened with.
struct WindowOpening {
    double scale;
    QPoint framePosition;
};

// Where a window of this design opens. A kept place is used when the window, at its kept scale
// or the largest that fits, lies inside the work area of one present screen; otherwise the
// window is centred in the work area of the pointer's screen, at the kept scale (the designed
// size when none is kept) or the largest that fits; a window too large even at the smallest
// scale starts at the work area's top left. The frame is what the window manager adds around
// the client area.
WindowOpening openingPlace(QSize design, QMargins frame, const QList<QRect>& workAreas,
                           QRect pointerWorkArea, const std::optional<WindowPlace>& kept);

} // namespace kelvos
