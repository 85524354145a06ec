#include "Docking.h"

#include "FormScaler.h"

#include <QWidget>

void setDocked(QWidget* content, QWidget* site, bool docked, const QString& title) {
    if (docked) {
        content->setParent(site);
        content->setGeometry(site->rect());
        // The window may have been resized meanwhile: the content takes its present scale.
        if (FormScaler* scaler = FormScaler::of(site))
            scaler->layOut();
    } else {
        const QPoint where = content->mapToGlobal(QPoint(0, 0));
        content->setParent(site->window(), Qt::Tool);
        content->setWindowTitle(title);
        content->move(where);
    }
    content->show();
}
