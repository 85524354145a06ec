#pragma once

#include <QComboBox>

// A combo box that says when its list opens, so the opening can be acknowledged with a sound.
class TDropDownBox : public QComboBox {
    Q_OBJECT
public:
    using QComboBox::QComboBox;
    void showPopup() override;

signals:
    void droppedDown();
};
