#pragma once

#include <QComboBox>

// A combo box whose entries are chosen only from its list, and which says when the list opens.
// Qt's editable combo box would make a typed text that equals an entry the current one when
// the box loses the focus; here typing never chooses an entry.
class TDropDownBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;

signals:
    void droppedDown();

protected:
    void focusOutEvent(QFocusEvent* event) override;
};
