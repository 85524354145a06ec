#include "TPopupMenuLook.h"

#include "MenuItemLook.h"

#include <QPainter>
#include <QStyleOptionMenuItem>

using namespace kelvos;

namespace {
void drawSeparator(QPainter& painter, const QRect& item) {
    const auto lines = menuSeparatorLines(item);
    painter.setPen(menuSeparatorDark());
    painter.drawLine(lines[0]);
    painter.setPen(menuSeparatorLight());
    painter.drawLine(lines[1]);
}

void drawTextItem(QPainter& painter, const QStyleOptionMenuItem& item) {
    if (item.checkType != QStyleOptionMenuItem::NotCheckable && item.checked) {
        painter.setPen(item.palette.color(QPalette::Text));
        painter.setBrush(menuFace());
        painter.drawRect(menuCheckSquare(item.rect).adjusted(0, 0, -1, -1));
    }
    painter.setFont(item.font);
    painter.setPen(item.palette.color(QPalette::Text));
    painter.drawText(menuCaptionRect(item.rect),
                     Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, item.text);
}
} // namespace

int TPopupMenuLook::pixelMetric(PixelMetric metric, const QStyleOption* option,
                                const QWidget* widget) const {
    switch (metric) {
    case PM_MenuPanelWidth:
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuDesktopFrameWidth:
        return 0;
    default:
        return QProxyStyle::pixelMetric(metric, option, widget);
    }
}

QSize TPopupMenuLook::sizeFromContents(ContentsType type, const QStyleOption* option,
                                       const QSize& size, const QWidget* widget) const {
    if (type != CT_MenuItem)
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    const bool separator = item && item->menuItemType == QStyleOptionMenuItem::Separator;
    return QSize(kMenuItemWidth + kMenuCheckMarkWidth,
                 separator ? kMenuSeparatorHeight : kMenuTextItemHeight);
}

void TPopupMenuLook::drawControl(ControlElement element, const QStyleOption* option,
                                 QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (element == CE_MenuEmptyArea) {
        painter->fillRect(option->rect, menuFace());
        return;
    }
    if (element != CE_MenuItem || !item)
        return QProxyStyle::drawControl(element, option, painter, widget);
    painter->save();
    painter->fillRect(item->rect, menuFace());
    if (item->menuItemType == QStyleOptionMenuItem::Separator)
        drawSeparator(*painter, item->rect);
    else
        drawTextItem(*painter, *item);
    painter->restore();
}

void TPopupMenuLook::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                   QPainter* painter, const QWidget* widget) const {
    if (element == PE_PanelMenu || element == PE_FrameMenu) {
        painter->fillRect(option->rect, menuFace());
        return;
    }
    QProxyStyle::drawPrimitive(element, option, painter, widget);
}
