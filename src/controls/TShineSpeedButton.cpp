#include "TShineSpeedButton.h"

#include "FormScaler.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>

using namespace kelvos;

TShineBtnColors::TShineBtnColors(const QPalette& palette, QPalette::ColorRole face)
    : color_(palette.color(face)), highlight_(palette.color(QPalette::Light)),
      shadow_(palette.color(QPalette::Dark)), darkShadow_(palette.color(QPalette::Shadow)) {}

void TShineBtnColors::Assign(const TShineBtnColors& other) {
    color_ = other.color_;
    highlight_ = other.highlight_;
    shadow_ = other.shadow_;
    darkShadow_ = other.darkShadow_;
    gradColor_ = other.gradColor_;
    gradation_ = other.gradation_;
    gradVertical_ = other.gradVertical_;
    if (onChange_)
        onChange_();
}

namespace {
constexpr int kHoverCheck = 200; // ms between checks that the pointer is still over the button

// The picture with the pixels that are transparent in the original glyph made see-through.
QImage cutOut(const QImage& picture, const QImage& glyph, QRgb transparent) {
    QImage result = picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < result.height(); ++y)
        for (int x = 0; x < result.width(); ++x)
            if ((glyph.pixel(x, y) & 0xFFFFFF) == (transparent & 0xFFFFFF) &&
                (picture.pixel(x, y) & 0xFFFFFF) == (transparent & 0xFFFFFF))
                result.setPixel(x, y, qRgba(0, 0, 0, 0));
    return result;
}

// The glyph's shape in one colour, for the embossed disabled look.
QImage silhouette(const QImage& glyph, QRgb transparent, const QColor& color) {
    QImage result(glyph.size(), QImage::Format_ARGB32);
    for (int y = 0; y < glyph.height(); ++y)
        for (int x = 0; x < glyph.width(); ++x)
            result.setPixel(x, y,
                            (glyph.pixel(x, y) & 0xFFFFFF) == (transparent & 0xFFFFFF)
                                ? qRgba(0, 0, 0, 0)
                                : color.rgb());
    return result;
}

bool within(QPoint p, QSize size) {
    return p.x() > 0 && p.x() < size.width() && p.y() > 0 && p.y() < size.height();
}
} // namespace

TShineSpeedButton::TShineSpeedButton(QWidget* parent)
    : QWidget(parent), colors_(palette(), QPalette::Button),
      activeColors_(palette(), QPalette::HighlightedText),
      pressedColors_(palette(), QPalette::Light), fontColor_(palette().color(QPalette::ButtonText)),
      activeFontColor_(palette().color(QPalette::Highlight)) {
    for (TShineBtnColors* set : {&colors_, &activeColors_, &pressedColors_})
        set->setOnChange([this] { update(); });
    activeFont_ = font();
    hoverTimer_.setInterval(kHoverCheck);
    connect(&hoverTimer_, &QTimer::timeout, this, &TShineSpeedButton::hoverTick);
    setMouseTracking(true);
    resize(25, 25);
}

void TShineSpeedButton::setCaption(const QString& caption) {
    store(caption_, caption);
    setShowAccelChar(showAccelChar_);
}

// The accelerator follows the caption's "&" character while accelerators are shown.
void TShineSpeedButton::setShowAccelChar(bool on) {
    showAccelChar_ = on;
    if (accelShortcut_)
        releaseShortcut(accelShortcut_);
    accelShortcut_ = 0;
    const QKeySequence key = QKeySequence::mnemonic(caption_);
    if (on && !key.isEmpty())
        accelShortcut_ = grabShortcut(key);
    update();
}

void TShineSpeedButton::setGlyph(const QImage& glyph) {
    if (glyph.depth() == 1) {
        // A one-bit glyph: set bits in the face colour of the control, clear bits in the font's.
        QImage picture = glyph.convertToFormat(QImage::Format_Mono);
        picture.setColor(0, FontColor().rgb());
        picture.setColor(1, palette().color(QPalette::Button).rgb());
        glyph_ = picture.convertToFormat(QImage::Format_RGB32);
    } else {
        glyph_ = glyph.convertToFormat(QImage::Format_RGB32);
    }
    update();
}

void TShineSpeedButton::setState(ShineState state) {
    store(state_, state);
}

// ---- Groups ------------------------------------------------------------------------------

void TShineSpeedButton::setDown(bool down) {
    if (groupIndex_ == 0)
        return;
    if (allowAllUp_) {
        down_ = down;
        tellGroup();
        setState(down ? ShineState::Pressed : ShineState::Up);
        return;
    }
    if (!down || down_)
        return; // a button that is down is raised only by another of its group
    down_ = true;
    tellGroup();
    setState(ShineState::Pressed);
}

void TShineSpeedButton::tellGroup() {
    if (!parentWidget())
        return;
    for (auto* other : parentWidget()->findChildren<TShineSpeedButton*>(Qt::FindDirectChildrenOnly))
        if (other != this && other->groupIndex_ == groupIndex_)
            other->groupMemberWentDown(this);
}

void TShineSpeedButton::groupMemberWentDown(TShineSpeedButton* other) {
    if (other->down_ && down_) {
        down_ = false;
        setState(ShineState::Up);
    }
    allowAllUp_ = other->allowAllUp_;
}

// ---- Pointer -----------------------------------------------------------------------------

bool TShineSpeedButton::pointerInside() const {
    return rect().contains(mapFromGlobal(QCursor::pos()));
}

void TShineSpeedButton::enterEvent(QEnterEvent* event) {
    emit OnMouseEnter(QGuiApplication::keyboardModifiers(), QGuiApplication::mouseButtons(),
                      event->position().toPoint());
    const QWidget* grabber = QWidget::mouseGrabber();
    if (!hovering_ && isEnabled() && (!grabber || grabber == this))
        pointerEntered();
    QWidget::enterEvent(event);
}

void TShineSpeedButton::leaveEvent(QEvent* event) {
    if (hovering_ && isEnabled() && !held_)
        pointerLeft();
    QWidget::leaveEvent(event);
}

void TShineSpeedButton::pointerEntered() {
    hovering_ = true;
    setState(shineEntered(state_));
    hoverTimer_.start();
}

void TShineSpeedButton::pointerLeft() {
    emit OnMouseLeave(QGuiApplication::keyboardModifiers(), QGuiApplication::mouseButtons(),
                      mapFromGlobal(QCursor::pos()));
    hoverTimer_.stop();
    hovering_ = false;
    setState(shineLeft(state_));
}

// Catches a leave the window system did not report.
void TShineSpeedButton::hoverTick() {
    if (!hovering_ || !isEnabled() || held_) {
        hoverTimer_.stop();
        return;
    }
    if (!pointerInside())
        pointerLeft();
}

void TShineSpeedButton::recheckHover(QPoint pointer) {
    const bool inside = rect().contains(pointer);
    if (inside && !hovering_)
        pointerEntered();
    else if (!inside && hovering_)
        pointerLeft();
}

void TShineSpeedButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !isEnabled())
        return QWidget::mousePressEvent(event);
    held_ = true;
    setState(ShineState::HoveredPressed);
}

void TShineSpeedButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    if (held_) {
        setState(within(at, size()) ? ShineState::HoveredPressed
                 : down_            ? ShineState::Pressed
                                    : ShineState::Up);
    } else if (!hovering_) {
        recheckHover(at);
    }
    QWidget::mouseMoveEvent(event);
}

void TShineSpeedButton::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !held_)
        return QWidget::mouseReleaseEvent(event);
    const QPoint at = event->position().toPoint();
    const bool inside = rect().contains(at);
    if (groupIndex_ != 0) {
        if (inside)
            setDown(!down_);
        else
            setState(down_ ? ShineState::HoveredPressed : ShineState::Hovered);
    } else {
        setState(ShineState::Up);
        hovering_ = false;
        down_ = false;
    }
    held_ = false;
    if (inside)
        performClick();
    recheckHover(at);
}

void TShineSpeedButton::mouseDoubleClickEvent(QMouseEvent* event) {
    if (state_ == ShineState::HoveredPressed || state_ == ShineState::Pressed)
        emit doubleClicked();
    QWidget::mouseDoubleClickEvent(event);
}

void TShineSpeedButton::performClick() {
    if (!clickDownHook_) {
        emit clicked();
        return;
    }
    const ShineState before = state_;
    setState(ShineState::HoveredPressed);
    repaint();
    emit clicked();
    setState(before);
}

bool TShineSpeedButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut && isEnabled() && isVisible()) {
        if (accelCharDown_)
            setDown(!down_);
        performClick();
        return true;
    }
    return QWidget::event(event);
}

void TShineSpeedButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange) {
        down_ = false;
        setState(isEnabled() ? ShineState::Up : ShineState::Disabled);
        update();
    }
    QWidget::changeEvent(event);
}

// ---- Painting ----------------------------------------------------------------------------

const TShineBtnColors& TShineSpeedButton::colorSet(ColorSetRole role) const {
    switch (role) {
    case ColorSetRole::Active:
        return activeColors_;
    case ColorSetRole::Pressed:
        return pressedColors_;
    case ColorSetRole::Normal:
        break;
    }
    return colors_;
}

void TShineSpeedButton::paintEvent(QPaintEvent*) {
    const ShineLook look = shineLook(state_, activeColorsEnabled_);
    const TShineBtnColors& set = colorSet(look.colors);
    // Drawn off screen first, then shown in one step, so a repaint never flickers.
    QImage canvas(size(), QImage::Format_ARGB32_Premultiplied);
    canvas.fill(Qt::transparent);
    QPainter painter(&canvas);
    if (!transparent_ && !rect().isEmpty())
        paintFace(painter, set);
    paintGlyphAndCaption(painter, look);
    const bool frameWanted = look.frame == FrameSwitch::Up     ? upFrame_
                             : look.frame == FrameSwitch::Down ? downFrame_
                                                               : activeFrame_;
    if (frameWanted)
        paintFrame(painter, set, look.sunk);
    painter.end();
    QPainter(this).drawImage(0, 0, canvas);
}

void TShineSpeedButton::paintFace(QPainter& painter, const TShineBtnColors& set) const {
    if (!set.Gradation()) {
        painter.fillRect(rect(), set.Color());
        return;
    }
    const bool vertical = set.GradVertical();
    const int count = vertical ? height() : width();
    for (int i = 0; i < count; ++i) {
        const QColor band = gradientColor(set.Color(), set.GradColor(), i, count);
        painter.fillRect(vertical ? QRect(0, i, width(), 1) : QRect(i, 0, 1, height()), band);
    }
}

void TShineSpeedButton::paintFrame(QPainter& painter, const TShineBtnColors& set, bool sunk) const {
    const int r = width() - 1, b = height() - 1;
    const auto topLeft = [&](const QColor& color, int inset) {
        painter.setPen(color);
        painter.drawLine(inset, inset, r - inset, inset);
        painter.drawLine(inset, inset, inset, b - inset);
    };
    const auto bottomRight = [&](const QColor& color, int inset) {
        painter.setPen(color);
        painter.drawLine(inset, b - inset, r - inset, b - inset);
        painter.drawLine(r - inset, inset, r - inset, b - inset);
    };
    switch (frameType_) {
    case ShineFrameType::ftFlatFrame:
        topLeft(sunk ? set.Shadow() : set.Highlight(), 0);
        bottomRight(sunk ? set.Highlight() : set.Shadow(), 0);
        break;
    case ShineFrameType::ftNormalFrame:
        if (sunk) {
            topLeft(set.DarkShadow(), 0);
            topLeft(set.Shadow(), 1);
            bottomRight(set.Highlight(), 0);
        } else {
            topLeft(set.Highlight(), 0);
            bottomRight(set.DarkShadow(), 0);
            bottomRight(set.Shadow(), 1);
        }
        break;
    case ShineFrameType::ftEnclosedFrame: {
        const bool activeLook = activeColorsEnabled_ && (state_ == ShineState::HoveredPressed ||
                                                         state_ == ShineState::Hovered);
        painter.setPen((activeLook ? activeColors_ : colors_).DarkShadow());
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(0, 0, r, b);
        topLeft(sunk ? set.Shadow() : set.Highlight(), 1);
        bottomRight(sunk ? set.Highlight() : set.Shadow(), 1);
        break;
    }
    }
}

// The window scales the button's own font; the hover font follows the same scale.
QFont TShineSpeedButton::fontForState() const {
    return shineLook(state_, activeColorsEnabled_).activeFont
               ? kelvos::scaledFont(activeFont_, FormScaler::scaleOf(this), logicalDpiY())
               : font();
}

int TShineSpeedButton::textFlags() const {
    return int(alignment_ | Qt::AlignVCenter) | (showAccelChar_ ? Qt::TextShowMnemonic : 0);
}

// Lays out the glyph and the caption as one block; returns the caption's rectangle.
QRect TShineSpeedButton::blockRects(QRect* glyphRect) const {
    const QRect area = alMargin_ >= 0 ? rect().adjusted(alMargin_, 0, -alMargin_, 0) : rect();
    const int measureFlags = int(alignment_) | (accelCharDown_ ? Qt::TextShowMnemonic : 0);
    const QSize text =
        caption_.isEmpty()
            ? QSize()
            : QFontMetrics(fontForState()).boundingRect(area, measureFlags, caption_).size();
    const QSize glyph = glyph_.size();
    const int gap = !glyph_.isNull() && !caption_.isEmpty() ? spacing_ : 0;
    const bool across = layout_ == GlyphLayout::blGlyphLeft || layout_ == GlyphLayout::blGlyphRight;
    const QSize block =
        across ? QSize(glyph.width() + gap + text.width(), std::max(glyph.height(), text.height()))
               : QSize(std::max(glyph.width(), text.width()), glyph.height() + gap + text.height());
    QPoint origin((width() - block.width()) / 2, (height() - block.height()) / 2);
    if (margin_ != -1) {
        switch (layout_) {
        case GlyphLayout::blGlyphLeft:
            origin.setX(margin_);
            break;
        case GlyphLayout::blGlyphRight:
            origin.setX(width() - margin_ - block.width());
            break;
        case GlyphLayout::blGlyphTop:
            origin.setY(margin_);
            break;
        case GlyphLayout::blGlyphBottom:
            origin.setY(height() - margin_ - block.height());
            break;
        }
    }
    if (shineLook(state_, activeColorsEnabled_).sunk)
        origin += QPoint(1, 1);
    QPoint glyphAt, textAt;
    switch (layout_) {
    case GlyphLayout::blGlyphLeft:
        glyphAt = {0, (block.height() - glyph.height()) / 2};
        textAt = {glyph.width() + gap, (block.height() - text.height()) / 2};
        break;
    case GlyphLayout::blGlyphRight:
        textAt = {0, (block.height() - text.height()) / 2};
        glyphAt = {text.width() + gap, (block.height() - glyph.height()) / 2};
        break;
    case GlyphLayout::blGlyphTop:
        glyphAt = {(block.width() - glyph.width()) / 2, 0};
        textAt = {(block.width() - text.width()) / 2, glyph.height() + gap};
        break;
    case GlyphLayout::blGlyphBottom:
        textAt = {(block.width() - text.width()) / 2, 0};
        glyphAt = {(block.width() - glyph.width()) / 2, text.height() + gap};
        break;
    }
    if (glyphRect)
        *glyphRect = QRect(origin + glyphAt, glyph);
    return QRect(origin + textAt, text);
}

QRect TShineSpeedButton::captionRect() const {
    return blockRects(nullptr);
}

QImage TShineSpeedButton::glyphForState(bool hovered) const {
    const QRgb transparent = glyph_.pixel(0, glyph_.height() - 1);
    if (hovered)
        return litGlyph(glyph_, transparent, activeImage_, shineColor_.rgb());
    const bool sunk = state_ == ShineState::Pressed;
    const StateImage treatment = state_ == ShineState::Disabled ? disabledImage_
                                 : sunk                         ? downImage_
                                                                : upImage_;
    return treatedGlyph(glyph_, transparent, treatment, colors_.Color().rgb());
}

void TShineSpeedButton::paintGlyphAndCaption(QPainter& painter, const ShineLook& look) const {
    QRect glyphAt;
    const QRect caption = blockRects(&glyphAt);
    const bool disabled = state_ == ShineState::Disabled;
    const QColor disabledHighlight = palette().color(QPalette::Light);
    const QColor disabledShadow = palette().color(QPalette::Dark);
    if (!glyph_.isNull()) {
        const QRgb transparent = glyph_.pixel(0, glyph_.height() - 1);
        if (disabled && disabledImage_ == StateImage::diDefault) {
            painter.drawImage(glyphAt.topLeft() + QPoint(1, 1),
                              silhouette(glyph_, transparent, disabledHighlight));
            painter.drawImage(glyphAt.topLeft(), silhouette(glyph_, transparent, disabledShadow));
        } else {
            painter.drawImage(glyphAt.topLeft(),
                              cutOut(glyphForState(look.activeFont), glyph_, transparent));
        }
    }
    painter.setFont(fontForState());
    const auto draw = [&](QPoint offset, const QColor& color) {
        painter.setPen(color);
        painter.drawText(caption.translated(offset), textFlags(), caption_);
    };
    if (disabled) {
        draw({1, 1}, disabledHighlight);
        draw({0, 0}, disabledShadow);
        return;
    }
    if (fontShadow_)
        draw({1, 1}, *fontShadow_);
    if (fontHighlight_)
        draw({-1, -1}, *fontHighlight_);
    draw({0, 0}, look.activeFont ? activeFontColor_ : fontColor_);
}
