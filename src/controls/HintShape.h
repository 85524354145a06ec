#pragma once

#include <QPoint>
#include <QRect>
#include <QRegion>
#include <array>

namespace kelvos {

// The shapes a hint window can take.
enum class HintStyle { hsFukidashi, hsRoundRect, hsLineString, hsOwnerDraw };

// The height of the balloon's tail above the text rectangle.
constexpr int kBalloonTail = 9;
// The platform shows a hint this far below the pointer, under the pointer's arrow.
constexpr int kPointerHeight = 16;

// Where the balloon's tail is: the tip's distance from the window's left edge, and whether it
// stands on the top edge (the balloon below the pointer) or hangs from the bottom edge (the
// balloon above it).
struct BalloonTail {
    int tipX = 14;
    bool onTop = true;
    bool operator==(const BalloonTail&) const = default;
};

// The window rectangle for a hint whose text needs the given rectangle: the balloon adds its
// tail, the leader line its slope and foot.
QRect hintWindowRect(HintStyle style, const QRect& textRect);

// The window's outline for a window of that size, in window coordinates; an empty region
// stands for an unshaped window.
QRegion hintWindowRegion(HintStyle style, QSize size, BalloonTail tail = {});

// The balloon's outline as drawn: by default its tail tip on the top edge, 14 pixels from the
// left.
std::array<QPoint, 8> balloonOutline(QSize size, BalloonTail tail = {});

// Where the balloon's text starts within its window: below the tail, or at the top when the
// tail hangs from the bottom.
QPoint balloonTextOffset(BalloonTail tail);

// Where a hint goes on the screen: the rectangle handed to the hint window for its text (the
// window grows from it by its style) and the balloon's tail.
struct HintPlacement {
    QRect textRect;
    BalloonTail tail;
    bool operator==(const HintPlacement&) const = default;
};

// A hint of this text size for a control (screen coordinates) under the pointer, inside the
// work area: below the pointer as the platform shows it; where there is no room below, above
// the control, or just above the pointer over a tall control; moved left at the right edge.
// The tail points at the pointer.
HintPlacement placeHint(HintStyle style, QSize textSize, QPoint pointer, const QRect& control,
                        const QRect& workArea);

} // namespace kelvos
