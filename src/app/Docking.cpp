#include "Docking.h"

#include "FormScaler.h"

#include <QAbstractScrollArea>
#include <QApplication>
#include <QMouseEvent>
#include <QRubberBand>
#include <QWidget>

DockableControl::DockableControl(QWidget* control, QList<QWidget*> sites, QString title)
    : QObject(control), control_(control), sites_(std::move(sites)),
      homeParent_(control->parentWidget()), title_(std::move(title)), dockedIn_(sites_.first()),
      outline_(std::make_unique<QRubberBand>(QRubberBand::Rectangle)) {
    const auto* scrolling = qobject_cast<QAbstractScrollArea*>(control);
    mouseArea_ = scrolling ? scrolling->viewport() : control;
    mouseArea_->installEventFilter(this);
    // Floating, the control keeps the fonts and colours of the window it came from.
    control_->setAttribute(Qt::WA_WindowPropagation);
}

DockableControl::~DockableControl() = default;

void DockableControl::setDockable(bool dockable) {
    dockable_ = dockable;
    if (dockable)
        return;
    endDrag();
    if (dockedIn_ != sites_.first())
        dockInto(sites_.first());
}

// The left button drags the control rather than reaching it; the other buttons reach it as ever.
bool DockableControl::eventFilter(QObject* watched, QEvent* event) {
    if (watched != mouseArea_ || !dockable_)
        return false;
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        pressedAt_ = mouse->globalPosition().toPoint();
        return true;
    }
    case QEvent::MouseMove:
        return dragged(static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    case QEvent::MouseButtonRelease: {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        return mouse->button() == Qt::LeftButton && released(mouse->globalPosition().toPoint());
    }
    default:
        return false;
    }
}

// The drag begins once the pointer has left the press by the platform's drag distance; from
// then on the outline follows it, held where the control was grabbed.
bool DockableControl::dragged(QPoint global) {
    if (!pressedAt_)
        return false;
    if (outline_->isHidden() &&
        (global - *pressedAt_).manhattanLength() < QApplication::startDragDistance())
        return true;
    outline_->setGeometry(outlineAt(global));
    outline_->show();
    return true;
}

// Over a dock site the control docks into it; anywhere else it floats where the outline was.
// A press that never became a drag does nothing.
bool DockableControl::released(QPoint global) {
    if (!pressedAt_)
        return false;
    const bool wasDragged = outline_->isVisible();
    const QPoint topLeft = outlineAt(global).topLeft();
    endDrag();
    if (!wasDragged)
        return true;
    if (QWidget* site = siteAt(global))
        dockInto(site);
    else
        floatAt(topLeft);
    return true;
}

QRect DockableControl::outlineAt(QPoint global) const {
    const QPoint grip = *pressedAt_ - control_->mapToGlobal(QPoint(0, 0));
    return {global - grip, control_->size()};
}

// A site counts wherever it lies on the screen, even under another control, as the dragged
// control's own home lies under it.
QWidget* DockableControl::siteAt(QPoint global) const {
    for (QWidget* site : sites_) {
        if (site->isVisible() && site->rect().contains(site->mapFromGlobal(global)))
            return site;
    }
    return nullptr;
}

// At home the control takes back the parent it was built under; in another site it lies over
// that site, among the site's neighbours, so that raising either shows it.
void DockableControl::dockInto(QWidget* site) {
    QWidget* parent = site == sites_.first() ? homeParent_ : site->parentWidget();
    // With flags given, Qt reparents even to the same parent: a floating chart's is the window.
    control_->setParent(parent, Qt::Widget);
    control_->setGeometry({site->mapTo(parent, QPoint(0, 0)), site->size()});
    control_->show();
    control_->raise();
    dockedIn_ = site;
    // The window may have been resized while the control was away: it takes the present scale.
    if (FormScaler* scaler = FormScaler::of(site))
        scaler->layOut();
}

void DockableControl::floatAt(QPoint topLeft) {
    if (dockedIn_) {
        control_->setParent(homeParent_->window(), Qt::Tool);
        control_->setWindowTitle(title_);
        dockedIn_ = nullptr;
    }
    control_->setGeometry({topLeft, control_->size()});
    control_->show();
    control_->raise();
}

void DockableControl::endDrag() {
    pressedAt_.reset();
    outline_->hide();
}
