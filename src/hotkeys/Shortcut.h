#pragma once

#include <QString>
#include <Qt>
#include <QtGlobal>
#include <optional>
#include <vector>

// The shortcut word: a Windows virtual-key code in the low byte plus the modifier flags
// Shift 0x2000, Ctrl 0x4000 and Alt 0x8000. It is kept as is in memory and in settings
// files; these functions translate it to X keysyms for grabbing, from Qt keys for the
// hotkey editor, and to the words the editor shows.
namespace kelvos {

// Windows virtual-key codes of the keys a hotkey can use.
namespace vk {
constexpr quint8 Back = 0x08;
constexpr quint8 Tab = 0x09;
constexpr quint8 Return = 0x0D;
constexpr quint8 Pause = 0x13;
constexpr quint8 Escape = 0x1B;
constexpr quint8 Space = 0x20;
constexpr quint8 Prior = 0x21;
constexpr quint8 Next = 0x22;
constexpr quint8 End = 0x23;
constexpr quint8 Home = 0x24;
constexpr quint8 Left = 0x25;
constexpr quint8 Up = 0x26;
constexpr quint8 Right = 0x27;
constexpr quint8 Down = 0x28;
constexpr quint8 Insert = 0x2D;
constexpr quint8 Delete = 0x2E;
constexpr quint8 Digit0 = 0x30;  // '0'..'9' are 0x30..0x39
constexpr quint8 LetterA = 0x41; // 'A'..'Z' are 0x41..0x5A
constexpr quint8 Numpad0 = 0x60; // Num 0..Num 9 are 0x60..0x69
constexpr quint8 Multiply = 0x6A;
constexpr quint8 Add = 0x6B;
constexpr quint8 Separator = 0x6C;
constexpr quint8 Subtract = 0x6D;
constexpr quint8 Decimal = 0x6E;
constexpr quint8 Divide = 0x6F;
constexpr quint8 F1 = 0x70; // F1..F24 are 0x70..0x87
constexpr quint8 F24 = 0x87;
constexpr quint8 Oem1 = 0xBA;    // ;
constexpr quint8 OemPlus = 0xBB; // =
constexpr quint8 OemComma = 0xBC;
constexpr quint8 OemMinus = 0xBD;
constexpr quint8 OemPeriod = 0xBE;
constexpr quint8 Oem2 = 0xBF; // /
constexpr quint8 Oem3 = 0xC0; // `
constexpr quint8 Oem4 = 0xDB; // [
constexpr quint8 Oem5 = 0xDC; // backslash
constexpr quint8 Oem6 = 0xDD; // ]
constexpr quint8 Oem7 = 0xDE; // '

constexpr quint8 numpad(int digit) {
    return quint8(Numpad0 + digit);
}
constexpr quint8 function(int number) {
    return quint8(F1 + number - 1);
}
} // namespace vk

namespace shortcut {
constexpr quint16 Shift = 0x2000;
constexpr quint16 Ctrl = 0x4000;
constexpr quint16 Alt = 0x8000;
constexpr quint16 ModifierMask = Shift | Ctrl | Alt;
} // namespace shortcut

constexpr quint8 shortcutKey(quint16 word) {
    return quint8(word & 0xFF);
}
constexpr quint16 shortcutModifiers(quint16 word) {
    return word & shortcut::ModifierMask;
}
constexpr quint16 makeShortcut(quint8 key, quint16 modifiers) {
    return quint16(key | (modifiers & shortcut::ModifierMask));
}

// The combinations that FormCreate puts into the seven hotkey editors: start Up, stop Down,
// restart Left, reset Right, the laps of competitors 1 to 3 keypad 1 to 3.
constexpr quint16 defaultHotkeys[7] = {vk::Up,        vk::Down,      vk::Left,     vk::Right,
                                       vk::numpad(1), vk::numpad(2), vk::numpad(3)};

// The X keysyms whose keys produce this virtual key, empty for a key we do not support.
// A keypad digit yields both its NumLock-on and NumLock-off keysym (KP_1 and KP_End), so
// that the hotkey works in either NumLock state.
std::vector<quint32> keysymsForVirtualKey(quint8 key);

// The key's name as the editor shows it ("Up", "Num 1", "F5", "A"); empty when unknown.
QString virtualKeyName(quint8 key);

// The modifier flags of a Qt modifier set (Meta and the keypad flag have none).
quint16 modifierFlagsFromQt(Qt::KeyboardModifiers modifiers);
// The Qt modifiers of a shortcut word's Shift, Ctrl and Alt flags.
Qt::KeyboardModifiers qtModifiersOf(quint16 word);

// The combination in words: "Ctrl+Alt+A", "Up"; "None" for the empty word.
QString shortcutText(quint16 word);

// A key from a Qt key event: `keypad` is whether the event carried Qt::KeypadModifier.
// Keypad keys map to the keypad codes whatever the NumLock state (keypad End is Num 1);
// shifted punctuation maps back to its key on a US layout (! is the 1 key). 0 when the
// key cannot be a hotkey.
quint8 virtualKeyFromQtKey(int qtKey, bool keypad);

// What a key press makes of a hotkey editor's combination: the key with its modifiers,
// except that Shift alone counts as no modifier; 0 (none) for Backspace or Delete without
// modifiers, which clear the editor; nullopt when the press leaves the editor as it is (a
// modifier key on its own, a key that cannot be a hotkey).
std::optional<quint16> editorShortcutForKey(int qtKey, Qt::KeyboardModifiers modifiers);

// The Qt key (and whether it is a keypad key) that a keyboard sends for this virtual key
// with NumLock on; {0, false} when unknown.
struct QtKey {
    int key = 0;
    bool keypad = false;
};
QtKey qtKeyForVirtualKey(quint8 key);

} // namespace kelvos
