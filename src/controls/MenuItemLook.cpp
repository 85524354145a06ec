#include "MenuItemLook.h"

namespace kelvos {

QRect menuCheckSquare(const QRect& item) {
    return QRect(QPoint(item.left() + 2, item.top() + 8),
                 QPoint(item.right() - 107, item.bottom() - 8));
}

QRect menuCaptionRect(const QRect& item) {
    return QRect(QPoint(kMenuCaptionX, item.top()), item.bottomRight());
}

std::array<QLine, 2> menuSeparatorLines(const QRect& item) {
    const int middle = item.top() + item.height() / 2;
    const int from = item.left() + 1, to = item.right() - 1;
    return {QLine(from, middle, to, middle), QLine(from, middle + 1, to, middle + 1)};
}

} // namespace kelvos
