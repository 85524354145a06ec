#include "Docking.h"

#include <QWidget>

void setDocked(QWidget* content, QWidget* site, bool docked, const QString& title) {
    if (docked) {
        content->setParent(site);
        content->setGeometry(site->rect());
    } else {
        const QPoint where = content->mapToGlobal(QPoint(0, 0));
        content->setParent(site->window(), Qt::Tool);
        content->setWindowTitle(title);
        content->move(where);
    }
    content->show();
}
