#pragma once

#include <QComboBox>

// A combo box whose entries are chosen only from its list, and which says when the list opens
// and when Enter is pressed in it. Qt's editable combo box would make a typed text that equals
// an entry the current one when the box loses the focus; here typing never chooses an entry.
class TDropDownBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    // Lets the operator type a text of their own: exactly as typed, with no completion from
    // the list and no entry added by the box itself.
    void makeTypable();
    void showPopup() override;

signals:
    void droppedDown();
    // Enter or keypad Enter, while the box has the keyboard.
    void enterPressed();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};
