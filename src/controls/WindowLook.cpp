#include "WindowLook.h"

#include <QScreen>
#include <QWidget>
#include <algorithm>

QFont timesFont(int pixels, bool bold, bool italic) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    return font;
}

void setTextColor(QWidget* widget, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, color);
    widget->setPalette(palette);
}

void openBesideOwner(QWidget& window) {
    if (!window.testAttribute(Qt::WA_Moved)) {
        const QWidget* owner = window.parentWidget();
        const QRect beside = owner->frameGeometry();
        const QRect screen = owner->screen()->availableGeometry();
        window.move(std::min(beside.right() + 1, screen.right() + 1 - window.width()),
                    beside.top());
    }
    window.show();
    window.raise();
    window.activateWindow();
}
