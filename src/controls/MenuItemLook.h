#pragma once

#include <QColor>
#include <QLine>
#include <QRect>
#include <array>

namespace kelvos {

// The owner-drawn pop-up menu: every item measures 100 pixels wide, text items 25 high,
// separators 10. The menu widens every item by the width of a system check mark.
constexpr int kMenuItemWidth = 100;
constexpr int kMenuCheckMarkWidth = 17;
constexpr int kMenuTextItemHeight = 25;
constexpr int kMenuSeparatorHeight = 10;
// Captions start at this x, measured in the menu, whatever the item's rectangle.
constexpr int kMenuCaptionX = 15;

inline QColor menuFace() {
    return QColor(179, 179, 255);
}
inline QColor menuSeparatorDark() {
    return QColor(133, 145, 26);
}
inline QColor menuSeparatorLight() {
    return QColor(232, 239, 167);
}

// The check mark of a checked item: a small square at the item's left, ending 107 pixels
// before the item's right edge.
QRect menuCheckSquare(const QRect& item);
QRect menuCaptionRect(const QRect& item);
// The separator's dark line across the item's middle and the light one just below it.
std::array<QLine, 2> menuSeparatorLines(const QRect& item);

} // namespace kelvos
