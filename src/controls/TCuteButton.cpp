#include "TCuteButton.h"

#include <QKeyEvent>

TCuteButton::TCuteButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    setFocusPolicy(Qt::StrongFocus);
}

void TCuteButton::keyPressEvent(QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (enter && event->modifiers() == Qt::NoModifier) {
        if (!event->isAutoRepeat())
            click(); // one press, one command: a held key does not repeat the command
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Space && event->isAutoRepeat()) {
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}
