#include "CuteButtonLook.h"

namespace kelvos {

namespace {
Bevel raisedIfFocusKept(const EdgeContext& context) {
    return context.tabFocusUp && context.focused ? Bevel::Raised : Bevel::None;
}
} // namespace

Bevel nextOuterBevel(Bevel current, EdgeEvent event, const EdgeContext& context) {
    switch (event) {
    case EdgeEvent::PointerEnter:
        return context.leftButtonDown ? Bevel::Lowered : Bevel::Raised;
    case EdgeEvent::PointerLeave:
        return context.tabFocusUp && context.focused ? current : Bevel::None;
    case EdgeEvent::FocusIn:
        return context.tabFocusUp ? Bevel::Raised : current;
    case EdgeEvent::FocusOut:
        return Bevel::None;
    case EdgeEvent::LeftPress:
    case EdgeEvent::KeyPress:
        return Bevel::Lowered;
    case EdgeEvent::LeftRelease:
        return context.pointerInside ? Bevel::Raised : raisedIfFocusKept(context);
    case EdgeEvent::KeyDone:
        return context.tabFocusUp ? Bevel::Raised : Bevel::None;
    }
    return current;
}

QRect captionRect(const QRect& client, const CaptionPlacement& placement, Bevel outer) {
    const int inset = placement.flat ? placement.bevelWidth : 2 * placement.bevelWidth;
    QRect rect = client.adjusted(inset, inset, -inset, -inset);
    if (placement.marginX != -1) {
        if (placement.alignment == CaptionAlignment::Left)
            rect.setLeft(rect.left() + placement.marginX);
        else if (placement.alignment == CaptionAlignment::Right)
            rect.setRight(rect.right() - placement.marginX);
    }
    if (placement.marginY != -1) {
        if (placement.layout == CaptionLayout::Top)
            rect.setTop(rect.top() + placement.marginY);
        else if (placement.layout == CaptionLayout::Bottom)
            rect.setBottom(rect.bottom() - placement.marginY);
    }
    if (outer == Bevel::Lowered)
        rect.setTopLeft(rect.topLeft() + QPoint(2, 2));
    return rect;
}

} // namespace kelvos
