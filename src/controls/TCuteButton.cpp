#include "TCuteButton.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>

using namespace kelvos;

namespace {
bool isEnter(const QKeyEvent* event) {
    return (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
           (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
}

Qt::Alignment textFlags(CaptionAlignment alignment, CaptionLayout layout) {
    const Qt::Alignment horizontal = alignment == CaptionAlignment::Left    ? Qt::AlignLeft
                                     : alignment == CaptionAlignment::Right ? Qt::AlignRight
                                                                            : Qt::AlignHCenter;
    const Qt::Alignment vertical = layout == CaptionLayout::Top      ? Qt::AlignTop
                                   : layout == CaptionLayout::Bottom ? Qt::AlignBottom
                                                                     : Qt::AlignVCenter;
    return horizontal | vertical;
}
} // namespace

TCuteButtonTimer::TCuteButtonTimer(TCuteButton* button, int delay) : QTimer(button) {
    setSingleShot(true);
    setInterval(delay);
}

TCuteButton::TCuteButton(QWidget* parent) : QPushButton(parent) {
    setAutoDefault(false);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_Hover);
    resize(75, 25);
}

template <typename T> void TCuteButton::store(T& field, const T& value) {
    if (field == value)
        return;
    field = value;
    update();
}

void TCuteButton::setAlignment(CaptionAlignment alignment) {
    store(placement_.alignment, alignment);
}
void TCuteButton::setLayout(CaptionLayout layout) {
    store(placement_.layout, layout);
}
void TCuteButton::setMarginX(int margin) {
    store(placement_.marginX, clampedMargin(margin));
}
void TCuteButton::setMarginY(int margin) {
    store(placement_.marginY, clampedMargin(margin));
}
void TCuteButton::setBevelWidth(int width) {
    store(placement_.bevelWidth, std::max(1, width));
}
void TCuteButton::setBevelHighlightColor(const QColor& color) {
    store(highlight_, color);
}
void TCuteButton::setBevelShadowColor(const QColor& color) {
    store(shadow_, color);
}
void TCuteButton::setColor(const QColor& color) {
    store(color_, color);
}
void TCuteButton::setUseDisabledColor(bool on) {
    store(useDisabledColor_, on);
}
void TCuteButton::setDisabledColor(const QColor& color) {
    store(disabledColor_, color);
}
void TCuteButton::setShowFocusRect(bool on) {
    store(showFocusRect_, on);
}
void TCuteButton::setTabFocusUp(bool on) {
    tabFocusUp_ = on;
}
void TCuteButton::setDropDownMenu(QMenu* menu) {
    dropDownMenu_ = menu;
}
void TCuteButton::setDropDownDelay(int ms) {
    dropDownDelay_ = ms;
}
void TCuteButton::setEgnoreContClick(bool on) {
    egnoreContClick_ = on;
}

QColor TCuteButton::BevelHighlightColor() const {
    return highlight_.isValid() ? highlight_ : palette().color(QPalette::Light);
}
QColor TCuteButton::BevelShadowColor() const {
    return shadow_.isValid() ? shadow_ : palette().color(QPalette::Dark);
}
QColor TCuteButton::Color() const {
    return color_.isValid() ? color_ : palette().color(QPalette::Button);
}

Bevel TCuteButton::innerBevel() const {
    return isFlat() ? Bevel::None : Bevel::Raised;
}

QRect TCuteButton::captionRect() const {
    CaptionPlacement placement = placement_;
    placement.flat = isFlat();
    return kelvos::captionRect(rect(), placement, outer_);
}

// ---- Edge --------------------------------------------------------------------------------

EdgeContext TCuteButton::edgeContext() const {
    EdgeContext context;
    context.leftButtonDown = QApplication::mouseButtons().testFlag(Qt::LeftButton);
    context.focused = hasFocus();
    context.tabFocusUp = tabFocusUp_;
    return context;
}

void TCuteButton::moveEdge(EdgeEvent event) {
    moveEdge(event, edgeContext());
}

void TCuteButton::moveEdge(EdgeEvent event, const EdgeContext& context) {
    store(outer_, nextOuterBevel(outer_, event, context));
}

void TCuteButton::enterEvent(QEnterEvent* event) {
    emit OnMouseEnter(QApplication::keyboardModifiers(), QApplication::mouseButtons(),
                      event->position().toPoint());
    moveEdge(EdgeEvent::PointerEnter);
    QPushButton::enterEvent(event);
}

void TCuteButton::leaveEvent(QEvent* event) {
    emit OnMouseLeave(QApplication::keyboardModifiers(), QApplication::mouseButtons(),
                      mapFromGlobal(QCursor::pos()));
    moveEdge(EdgeEvent::PointerLeave);
    QPushButton::leaveEvent(event);
}

void TCuteButton::focusInEvent(QFocusEvent* event) {
    moveEdge(EdgeEvent::FocusIn);
    QPushButton::focusInEvent(event);
}

void TCuteButton::focusOutEvent(QFocusEvent* event) {
    // A Space press ends without a click when the focus moves on (Tab before the release).
    spacePressed_ = false;
    moveEdge(EdgeEvent::FocusOut);
    QPushButton::focusOutEvent(event);
}

void TCuteButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QPushButton::mousePressEvent(event);
        return;
    }
    setFocus(Qt::MouseFocusReason);
    leftHeld_ = true;
    moveEdge(EdgeEvent::LeftPress);
    QPushButton::mousePressEvent(event);
    if (dropDownMenu_)
        startMenu(false);
}

void TCuteButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QPushButton::mouseReleaseEvent(event);
        return;
    }
    stopDelay();
    leftHeld_ = false;
    EdgeContext context = edgeContext();
    context.pointerInside = rect().contains(event->position().toPoint());
    clickGuarded([&] { QPushButton::mouseReleaseEvent(event); });
    context.focused = hasFocus();
    moveEdge(EdgeEvent::LeftRelease, context);
}

// ---- Keys --------------------------------------------------------------------------------

void TCuteButton::keyPressEvent(QKeyEvent* event) {
    const bool space = event->key() == Qt::Key_Space;
    if ((isEnter(event) || space) && event->isAutoRepeat()) {
        event->accept(); // one press, one command: a held key does not repeat the command
        return;
    }
    if (spacePressed_ && !space)
        cancelSpace();
    if (isEnter(event)) {
        event->accept();
        pressByKey();
        return;
    }
    if (space && event->modifiers() == Qt::NoModifier) {
        spacePressed_ = true;
        moveEdge(EdgeEvent::KeyPress);
        QPushButton::keyPressEvent(event);
        if (dropDownMenu_)
            startMenu(true);
        return;
    }
    QPushButton::keyPressEvent(event);
}

void TCuteButton::keyReleaseEvent(QKeyEvent* event) {
    if (event->isAutoRepeat()) {
        event->accept();
        return;
    }
    stopDelay();
    if (event->key() == Qt::Key_Space && spacePressed_) {
        spacePressed_ = false;
        clickGuarded([&] { QPushButton::keyReleaseEvent(event); });
        moveEdge(EdgeEvent::KeyDone);
        return;
    }
    QPushButton::keyReleaseEvent(event);
}

// Another key during a Space press takes the press back.
void TCuteButton::cancelSpace() {
    spacePressed_ = false;
    setDown(false);
    moveEdge(EdgeEvent::KeyDone);
}

// Enter and the accelerator: a click, or the menu when it opens at once.
void TCuteButton::pressByKey() {
    moveEdge(EdgeEvent::KeyPress);
    if (dropDownMenu_ && dropDownDelay_ <= 0) {
        openMenu(true);
        return;
    }
    clickGuarded([this] { click(); });
    moveEdge(EdgeEvent::KeyDone);
}

bool TCuteButton::event(QEvent* event) {
    // The accelerator in the caption clicks at once, without the toolkit's delayed flash, and
    // once per press: a held accelerator does not repeat the command.
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        setShortcutAutoRepeat(shortcut->shortcutId(), false);
        if (!shortcut->isAmbiguous()) {
            pressByKey();
            return true;
        }
    }
    return QPushButton::event(event);
}

// While the click handler of a button that ignores continued clicks runs, clicks that arrive
// (the handler lets pending events run) are dropped.
void TCuteButton::clickGuarded(const std::function<void()>& clickStep) {
    if (!egnoreContClick_) {
        clickStep();
        return;
    }
    if (clicking_) {
        setDown(false);
        return;
    }
    clicking_ = true;
    clickStep();
    QCoreApplication::processEvents();
    clicking_ = false;
}

// ---- Drop-down menu ----------------------------------------------------------------------

void TCuteButton::startMenu(bool fromKeyboard) {
    keyboardMenu_ = fromKeyboard;
    if (dropDownDelay_ <= 0) {
        openMenu(fromKeyboard);
        return;
    }
    if (delayTimer_)
        return;
    delayTimer_ = new TCuteButtonTimer(this, dropDownDelay_);
    connect(delayTimer_, &QTimer::timeout, this, &TCuteButton::delayElapsed);
    delayTimer_->start();
}

void TCuteButton::delayElapsed() {
    stopDelay();
    if (keyboardMenu_ || leftHeld_)
        openMenu(keyboardMenu_);
}

void TCuteButton::stopDelay() {
    if (!delayTimer_)
        return;
    delayTimer_->stop();
    delayTimer_->deleteLater();
    delayTimer_ = nullptr;
}

// The menu takes over the press: the button is no longer down, so the release that ends the
// press (which the menu receives) clicks nothing.
void TCuteButton::openMenu(bool fromKeyboard) {
    keyboardMenu_ = fromKeyboard;
    setDown(false);
    spacePressed_ = false;
    connect(dropDownMenu_, &QMenu::aboutToHide, this, &TCuteButton::menuClosed,
            Qt::SingleShotConnection);
    dropDownMenu_->installEventFilter(this);
    dropDownMenu_->popup(mapToGlobal(QPoint(0, height())));
}

// The key that opened the menu, still held, repeats into the menu: its repeats must not choose
// an item the operator never chose.
bool TCuteButton::eventFilter(QObject* watched, QEvent* event) {
    if (watched == dropDownMenu_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->isAutoRepeat() && (isEnter(key) || key->key() == Qt::Key_Space))
            return true;
    }
    return QPushButton::eventFilter(watched, event);
}

// The release the menu took: a Space release from the keyboard, a left-button release at the
// button's top left corner from the mouse.
void TCuteButton::menuClosed() {
    dropDownMenu_->removeEventFilter(this);
    leftHeld_ = false;
    if (keyboardMenu_) {
        moveEdge(EdgeEvent::KeyDone);
        return;
    }
    EdgeContext context = edgeContext();
    context.pointerInside = true;
    moveEdge(EdgeEvent::LeftRelease, context);
}

// ---- Painting ----------------------------------------------------------------------------

void TCuteButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const bool greyFace = !isEnabled() && useDisabledColor_;
    painter.fillRect(rect(), greyFace ? disabledColor_ : Color());
    QRect edge = rect();
    paintBevel(painter, edge, outer_);
    paintBevel(painter, edge, innerBevel());
    const QRect caption = captionRect();
    paintCaption(painter, caption);
    if (showFocusRect_ && hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::ButtonText), 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(caption.adjusted(2, 2, -3, -3));
    }
}

// Draws one bevel on the rectangle's edge and leaves the rectangle inside it.
void TCuteButton::paintBevel(QPainter& painter, QRect& rect, Bevel bevel) const {
    if (bevel == Bevel::None)
        return;
    const bool raised = bevel == Bevel::Raised;
    const QColor topLeft = raised ? BevelHighlightColor() : BevelShadowColor();
    const QColor bottomRight = raised ? BevelShadowColor() : BevelHighlightColor();
    for (int ring = 0; ring < placement_.bevelWidth; ++ring) {
        painter.setPen(topLeft);
        painter.drawLine(rect.topLeft(), rect.topRight());
        painter.drawLine(rect.topLeft(), rect.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(rect.bottomLeft(), rect.bottomRight());
        painter.drawLine(rect.topRight(), rect.bottomRight());
        rect.adjust(1, 1, -1, -1);
    }
}

// A disabled caption is embossed: a light copy one pixel down and right under a dark one.
void TCuteButton::paintCaption(QPainter& painter, const QRect& rect) const {
    const int flags = int(textFlags(placement_.alignment, placement_.layout)) | Qt::TextSingleLine |
                      Qt::TextShowMnemonic;
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::ButtonText));
        painter.drawText(rect, flags, text());
        return;
    }
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(rect.translated(1, 1), flags, text());
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawText(rect, flags, text());
}
