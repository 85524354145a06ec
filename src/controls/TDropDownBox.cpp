#include "TDropDownBox.h"

#include <QLineEdit>
#include <QSignalBlocker>

void TDropDownBox::showPopup() {
    emit droppedDown();
    QComboBox::showPopup();
}

void TDropDownBox::focusOutEvent(QFocusEvent* event) {
    // Leaving the box finishes the line edit's editing, which would choose a matching entry.
    const QSignalBlocker quiet(lineEdit());
    QComboBox::focusOutEvent(event);
}
