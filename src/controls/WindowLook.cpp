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

void setUpToolWindow(QWidget& window, const QString& objectName, const QString& title,
                     bool boldFont) {
    window.setObjectName(objectName);
    window.setWindowTitle(title);
    window.setAttribute(Qt::WA_QuitOnClose, false);
    QPalette look = window.palette();
    look.setColor(QPalette::Window, QColor(239, 237, 228));
    window.setPalette(look);
    window.setAutoFillBackground(true);
    window.setFont(timesFont(15, boldFont));
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
