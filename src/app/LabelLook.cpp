#include "LabelLook.h"

#include "TextGrid.h"

#include <QLabel>

void setLabelColor(QLabel* label, int colorValue) {
    QPalette look = label->palette();
    look.setColor(QPalette::WindowText, kelvos::fromStoredColor(quint32(colorValue)));
    label->setPalette(look);
}
