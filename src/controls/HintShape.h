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

// The window rectangle for a hint whose text needs the given rectangle: the balloon adds its
// tail, the leader line its slope and foot.
QRect hintWindowRect(HintStyle style, const QRect& textRect);

// The window's outline for a window of that size, in window coordinates; an empty region
// stands for an unshaped window.
QRegion hintWindowRegion(HintStyle style, QSize size);

// The balloon's outline as drawn: its tail tip on the top edge, 14 pixels from the left.
std::array<QPoint, 8> balloonOutline(QSize size);

} // namespace kelvos
