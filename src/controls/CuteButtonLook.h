#pragma once

#include <QRect>

namespace kelvos {

// The state of one bevel of an animated button.
enum class Bevel { None, Raised, Lowered };

enum class CaptionAlignment { Left, Center, Right };
enum class CaptionLayout { Top, Center, Bottom };

// What happens to an animated button that moves its outer bevel.
enum class EdgeEvent {
    PointerEnter,
    PointerLeave,
    FocusIn,
    FocusOut,
    LeftPress,
    LeftRelease,
    KeyPress, // Space, Enter or the accelerator pressed
    KeyDone,  // the key's click (or menu) is over, or another key cancelled Space
};

// The facts the outer bevel depends on at the moment of the event.
struct EdgeContext {
    bool leftButtonDown = false; // the left mouse button is held
    bool pointerInside = false;  // the pointer is inside the button
    bool focused = false;        // the button is its window's focused control
    bool tabFocusUp = true;      // a focused button keeps its raised edge
};

// The outer bevel after an event.
Bevel nextOuterBevel(Bevel current, EdgeEvent event, const EdgeContext& context);

// Margins below -1 mean "none" as -1 does, and are stored as -1.
constexpr int clampedMargin(int margin) {
    return margin < -1 ? -1 : margin;
}

struct CaptionPlacement {
    int bevelWidth = 1;
    bool flat = false;
    CaptionAlignment alignment = CaptionAlignment::Center;
    CaptionLayout layout = CaptionLayout::Center;
    int marginX = -1;
    int marginY = -1;
};

// Where the caption is drawn: inside the bevels, moved by the margins that apply to the
// placement, and 2 pixels right and down while the button is sunk.
QRect captionRect(const QRect& client, const CaptionPlacement& placement, Bevel outer);

} // namespace kelvos
