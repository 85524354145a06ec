#include "THotKey.h"

#include "Shortcut.h"

#include <QKeyEvent>

THotKey::THotKey(QWidget* parent) : QLineEdit(parent) {
    setReadOnly(true);
    setContextMenuPolicy(Qt::NoContextMenu);
    setText(kelvos::shortcutText(shortcut_));
}

void THotKey::setShortcut(quint16 word) {
    setText(kelvos::shortcutText(word));
    if (word == shortcut_)
        return;
    shortcut_ = word;
    emit shortcutChanged(word);
}

// Every key, also one bound to a window shortcut such as Alt+1, belongs to the editor
// while it has the focus.
bool THotKey::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        event->accept();
        return true;
    }
    return QLineEdit::event(event);
}

void THotKey::keyPressEvent(QKeyEvent* event) {
    if (const std::optional<quint16> word =
            kelvos::editorShortcutForKey(event->key(), event->modifiers()))
        setShortcut(*word);
    else
        showModifiersHeld(event->key(), event->modifiers());
    event->accept();
}

void THotKey::keyReleaseEvent(QKeyEvent* event) {
    setText(kelvos::shortcutText(shortcut_));
    event->accept();
}

// While only modifiers are held, show them as the start of the combination ("Ctrl+Alt+").
// Whether a modifier key's own press counts in its event's modifiers differs between
// platforms, so the key is added explicitly.
void THotKey::showModifiersHeld(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Shift)
        modifiers |= Qt::ShiftModifier;
    else if (key == Qt::Key_Control)
        modifiers |= Qt::ControlModifier;
    else if (key == Qt::Key_Alt)
        modifiers |= Qt::AltModifier;
    const quint16 flags = kelvos::modifierFlagsFromQt(modifiers);
    if (flags != 0)
        setText(kelvos::shortcutText(flags) + QLatin1Char('+'));
}
