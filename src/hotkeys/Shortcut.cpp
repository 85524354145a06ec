#include "Shortcut.h"

#include <QStringList>
#include <algorithm>
#include <array>

namespace kelvos {
namespace {

// X keysyms (X11/keysymdef.h) of the keys we support.
namespace xk {
constexpr quint32 BackSpace = 0xff08;
constexpr quint32 Tab = 0xff09;
constexpr quint32 Return = 0xff0d;
constexpr quint32 Pause = 0xff13;
constexpr quint32 Escape = 0xff1b;
constexpr quint32 Home = 0xff50;
constexpr quint32 Left = 0xff51;
constexpr quint32 Up = 0xff52;
constexpr quint32 Right = 0xff53;
constexpr quint32 Down = 0xff54;
constexpr quint32 Prior = 0xff55;
constexpr quint32 Next = 0xff56;
constexpr quint32 End = 0xff57;
constexpr quint32 Insert = 0xff63;
constexpr quint32 Delete = 0xffff;
constexpr quint32 KP_Enter = 0xff8d;
constexpr quint32 KP_Home = 0xff95;
constexpr quint32 KP_Left = 0xff96;
constexpr quint32 KP_Up = 0xff97;
constexpr quint32 KP_Right = 0xff98;
constexpr quint32 KP_Down = 0xff99;
constexpr quint32 KP_Prior = 0xff9a;
constexpr quint32 KP_Next = 0xff9b;
constexpr quint32 KP_End = 0xff9c;
constexpr quint32 KP_Begin = 0xff9d;
constexpr quint32 KP_Insert = 0xff9e;
constexpr quint32 KP_Delete = 0xff9f;
constexpr quint32 KP_Multiply = 0xffaa;
constexpr quint32 KP_Add = 0xffab;
constexpr quint32 KP_Separator = 0xffac;
constexpr quint32 KP_Subtract = 0xffad;
constexpr quint32 KP_Decimal = 0xffae;
constexpr quint32 KP_Divide = 0xffaf;
constexpr quint32 KP_0 = 0xffb0;
constexpr quint32 F1 = 0xffbe;
constexpr quint32 a = 0x0061;
} // namespace xk

constexpr quint32 NoKeysym = 0;

struct KeyEntry {
    quint8 vk;
    const char* name;
    quint32 keysym;
    quint32 altKeysym; // the keypad key's keysym with NumLock off, or a second key
    int qtKey;
    bool keypad;
    int altQtKey; // the Qt key of the NumLock-off keypad key
};

// Keys that the arithmetic ranges below do not cover.
constexpr std::array fixedKeys{
    KeyEntry{vk::Back, "Backspace", xk::BackSpace, NoKeysym, Qt::Key_Backspace, false, 0},
    KeyEntry{vk::Tab, "Tab", xk::Tab, NoKeysym, Qt::Key_Tab, false, 0},
    KeyEntry{vk::Return, "Enter", xk::Return, xk::KP_Enter, Qt::Key_Return, false, 0},
    KeyEntry{vk::Pause, "Pause", xk::Pause, NoKeysym, Qt::Key_Pause, false, 0},
    KeyEntry{vk::Escape, "Esc", xk::Escape, NoKeysym, Qt::Key_Escape, false, 0},
    KeyEntry{vk::Space, "Space", ' ', NoKeysym, Qt::Key_Space, false, 0},
    KeyEntry{vk::Prior, "Page Up", xk::Prior, NoKeysym, Qt::Key_PageUp, false, 0},
    KeyEntry{vk::Next, "Page Down", xk::Next, NoKeysym, Qt::Key_PageDown, false, 0},
    KeyEntry{vk::End, "End", xk::End, NoKeysym, Qt::Key_End, false, 0},
    KeyEntry{vk::Home, "Home", xk::Home, NoKeysym, Qt::Key_Home, false, 0},
    KeyEntry{vk::Left, "Left", xk::Left, NoKeysym, Qt::Key_Left, false, 0},
    KeyEntry{vk::Up, "Up", xk::Up, NoKeysym, Qt::Key_Up, false, 0},
    KeyEntry{vk::Right, "Right", xk::Right, NoKeysym, Qt::Key_Right, false, 0},
    KeyEntry{vk::Down, "Down", xk::Down, NoKeysym, Qt::Key_Down, false, 0},
    KeyEntry{vk::Insert, "Insert", xk::Insert, NoKeysym, Qt::Key_Insert, false, 0},
    KeyEntry{vk::Delete, "Delete", xk::Delete, NoKeysym, Qt::Key_Delete, false, 0},
    KeyEntry{vk::numpad(0), "Num 0", xk::KP_0, xk::KP_Insert, Qt::Key_0, true, Qt::Key_Insert},
    KeyEntry{vk::numpad(1), "Num 1", xk::KP_0 + 1, xk::KP_End, Qt::Key_1, true, Qt::Key_End},
    KeyEntry{vk::numpad(2), "Num 2", xk::KP_0 + 2, xk::KP_Down, Qt::Key_2, true, Qt::Key_Down},
    KeyEntry{vk::numpad(3), "Num 3", xk::KP_0 + 3, xk::KP_Next, Qt::Key_3, true, Qt::Key_PageDown},
    KeyEntry{vk::numpad(4), "Num 4", xk::KP_0 + 4, xk::KP_Left, Qt::Key_4, true, Qt::Key_Left},
    KeyEntry{vk::numpad(5), "Num 5", xk::KP_0 + 5, xk::KP_Begin, Qt::Key_5, true, Qt::Key_Clear},
    KeyEntry{vk::numpad(6), "Num 6", xk::KP_0 + 6, xk::KP_Right, Qt::Key_6, true, Qt::Key_Right},
    KeyEntry{vk::numpad(7), "Num 7", xk::KP_0 + 7, xk::KP_Home, Qt::Key_7, true, Qt::Key_Home},
    KeyEntry{vk::numpad(8), "Num 8", xk::KP_0 + 8, xk::KP_Up, Qt::Key_8, true, Qt::Key_Up},
    KeyEntry{vk::numpad(9), "Num 9", xk::KP_0 + 9, xk::KP_Prior, Qt::Key_9, true, Qt::Key_PageUp},
    KeyEntry{vk::Multiply, "Num *", xk::KP_Multiply, NoKeysym, Qt::Key_Asterisk, true, 0},
    KeyEntry{vk::Add, "Num +", xk::KP_Add, NoKeysym, Qt::Key_Plus, true, 0},
    KeyEntry{vk::Separator, "Num ,", xk::KP_Separator, NoKeysym, Qt::Key_Comma, true, 0},
    KeyEntry{vk::Subtract, "Num -", xk::KP_Subtract, NoKeysym, Qt::Key_Minus, true, 0},
    KeyEntry{vk::Decimal, "Num .", xk::KP_Decimal, xk::KP_Delete, Qt::Key_Period, true,
             Qt::Key_Delete},
    KeyEntry{vk::Divide, "Num /", xk::KP_Divide, NoKeysym, Qt::Key_Slash, true, 0},
    KeyEntry{vk::Oem1, ";", ';', NoKeysym, Qt::Key_Semicolon, false, Qt::Key_Colon},
    KeyEntry{vk::OemPlus, "=", '=', NoKeysym, Qt::Key_Equal, false, Qt::Key_Plus},
    KeyEntry{vk::OemComma, ",", ',', NoKeysym, Qt::Key_Comma, false, Qt::Key_Less},
    KeyEntry{vk::OemMinus, "-", '-', NoKeysym, Qt::Key_Minus, false, Qt::Key_Underscore},
    KeyEntry{vk::OemPeriod, ".", '.', NoKeysym, Qt::Key_Period, false, Qt::Key_Greater},
    KeyEntry{vk::Oem2, "/", '/', NoKeysym, Qt::Key_Slash, false, Qt::Key_Question},
    KeyEntry{vk::Oem3, "`", '`', NoKeysym, Qt::Key_QuoteLeft, false, Qt::Key_AsciiTilde},
    KeyEntry{vk::Oem4, "[", '[', NoKeysym, Qt::Key_BracketLeft, false, Qt::Key_BraceLeft},
    KeyEntry{vk::Oem5, "\\", '\\', NoKeysym, Qt::Key_Backslash, false, Qt::Key_Bar},
    KeyEntry{vk::Oem6, "]", ']', NoKeysym, Qt::Key_BracketRight, false, Qt::Key_BraceRight},
    KeyEntry{vk::Oem7, "'", '\'', NoKeysym, Qt::Key_Apostrophe, false, Qt::Key_QuoteDbl},
};

// With Shift held, the digit keys of a US layout send these Qt keys.
constexpr std::array<int, 10> shiftedDigits{
    Qt::Key_ParenRight, Qt::Key_Exclam,   Qt::Key_At,          Qt::Key_NumberSign,
    Qt::Key_Dollar,     Qt::Key_Percent,  Qt::Key_AsciiCircum, Qt::Key_Ampersand,
    Qt::Key_Asterisk,   Qt::Key_ParenLeft};

const KeyEntry* fixedKey(quint8 key) {
    const auto it = std::find_if(fixedKeys.begin(), fixedKeys.end(),
                                 [key](const KeyEntry& e) { return e.vk == key; });
    return it == fixedKeys.end() ? nullptr : &*it;
}

bool isDigit(quint8 key) {
    return key >= vk::Digit0 && key <= vk::Digit0 + 9;
}
bool isLetter(quint8 key) {
    return key >= vk::LetterA && key <= vk::LetterA + 25;
}
bool isFunctionKey(quint8 key) {
    return key >= vk::F1 && key <= vk::F24;
}

} // namespace

std::vector<quint32> keysymsForVirtualKey(quint8 key) {
    if (isDigit(key))
        return {quint32(key)}; // the keysyms of '0'..'9' equal their codes
    if (isLetter(key))
        return {quint32(xk::a + (key - vk::LetterA))}; // the unshifted (lower-case) keysym
    if (isFunctionKey(key))
        return {quint32(xk::F1 + (key - vk::F1))};
    const KeyEntry* entry = fixedKey(key);
    if (!entry)
        return {};
    if (entry->altKeysym == NoKeysym)
        return {entry->keysym};
    return {entry->keysym, entry->altKeysym};
}

QString virtualKeyName(quint8 key) {
    if (isDigit(key) || isLetter(key))
        return QString(QChar(key));
    if (isFunctionKey(key))
        return QStringLiteral("F%1").arg(key - vk::F1 + 1);
    const KeyEntry* entry = fixedKey(key);
    return entry ? QString::fromLatin1(entry->name) : QString();
}

QString shortcutText(quint16 word) {
    const QString keyName = virtualKeyName(shortcutKey(word));
    QStringList parts;
    if (word & shortcut::Ctrl)
        parts << QStringLiteral("Ctrl");
    if (word & shortcut::Shift)
        parts << QStringLiteral("Shift");
    if (word & shortcut::Alt)
        parts << QStringLiteral("Alt");
    if (!keyName.isEmpty())
        parts << keyName;
    return parts.isEmpty() ? QStringLiteral("None") : parts.join(QLatin1Char('+'));
}

quint16 modifierFlagsFromQt(Qt::KeyboardModifiers modifiers) {
    quint16 flags = 0;
    if (modifiers & Qt::ShiftModifier)
        flags |= shortcut::Shift;
    if (modifiers & Qt::ControlModifier)
        flags |= shortcut::Ctrl;
    if (modifiers & Qt::AltModifier)
        flags |= shortcut::Alt;
    return flags;
}

Qt::KeyboardModifiers qtModifiersOf(quint16 word) {
    Qt::KeyboardModifiers modifiers;
    if (word & shortcut::Shift)
        modifiers |= Qt::ShiftModifier;
    if (word & shortcut::Ctrl)
        modifiers |= Qt::ControlModifier;
    if (word & shortcut::Alt)
        modifiers |= Qt::AltModifier;
    return modifiers;
}

quint8 virtualKeyFromQtKey(int qtKey, bool keypad) {
    for (const KeyEntry& e : fixedKeys) {
        if (e.keypad != keypad)
            continue;
        if (e.qtKey == qtKey || (e.altQtKey != 0 && e.altQtKey == qtKey))
            return e.vk;
    }
    if (keypad) {
        // Keypad Enter is the Enter key, as the virtual-key codes do not tell them apart.
        return qtKey == Qt::Key_Enter ? vk::Return : 0;
    }
    if (qtKey >= Qt::Key_0 && qtKey <= Qt::Key_9)
        return quint8(vk::Digit0 + (qtKey - Qt::Key_0));
    if (qtKey >= Qt::Key_A && qtKey <= Qt::Key_Z)
        return quint8(vk::LetterA + (qtKey - Qt::Key_A));
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F24)
        return vk::function(qtKey - Qt::Key_F1 + 1);
    if (qtKey == Qt::Key_Enter)
        return vk::Return;
    if (qtKey == Qt::Key_Backtab)
        return vk::Tab;
    const auto shifted = std::find(shiftedDigits.begin(), shiftedDigits.end(), qtKey);
    if (shifted != shiftedDigits.end())
        return quint8(vk::Digit0 + (shifted - shiftedDigits.begin()));
    return 0;
}

std::optional<quint16> editorShortcutForKey(int qtKey, Qt::KeyboardModifiers modifiers) {
    quint16 flags = modifierFlagsFromQt(modifiers);
    if (flags == shortcut::Shift)
        flags = 0;
    const bool keypad = modifiers & Qt::KeypadModifier;
    if (flags == 0 && !keypad && (qtKey == Qt::Key_Backspace || qtKey == Qt::Key_Delete))
        return quint16(0);
    const quint8 key = virtualKeyFromQtKey(qtKey, keypad);
    if (key == 0)
        return std::nullopt;
    return makeShortcut(key, flags);
}

QtKey qtKeyForVirtualKey(quint8 key) {
    if (isDigit(key))
        return {Qt::Key_0 + (key - vk::Digit0), false};
    if (isLetter(key))
        return {Qt::Key_A + (key - vk::LetterA), false};
    if (isFunctionKey(key))
        return {Qt::Key_F1 + (key - vk::F1), false};
    const KeyEntry* entry = fixedKey(key);
    return entry ? QtKey{entry->qtKey, entry->keypad} : QtKey{};
}

} // namespace kelvos
