#include "TDropDownBox.h"

void TDropDownBox::showPopup() {
    emit droppedDown();
    QComboBox::showPopup();
}
