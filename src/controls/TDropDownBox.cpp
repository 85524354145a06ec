#include "TDropDownBox.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QSignalBlocker>

void TDropDownBox::makeTypable() {
    setEditable(true);
    // Inline completion would turn a typed "80" into a listed "800".
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
}

void TDropDownBox::showPopup() {
    emit droppedDown();
    QComboBox::showPopup();
}

void TDropDownBox::keyPressEvent(QKeyEvent* event) {
    // The box has the keyboard focus and hands keys to its line edit itself, so Enter is taken
    // here, where every key arrives.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        if (!event->isAutoRepeat())
            emit enterPressed();
        return;
    }
    QComboBox::keyPressEvent(event);
}

void TDropDownBox::focusOutEvent(QFocusEvent* event) {
    // Leaving the box finishes the line edit's editing, which would choose a matching entry.
    const QSignalBlocker quiet(lineEdit());
    QComboBox::focusOutEvent(event);
}
