#include "TNValLabel.h"

#include <QLocale>
#include <QMouseEvent>
#include <QPainter>

namespace {
// The system's border height, times which the frame adds to the font's height.
constexpr int kBorderHeight = 1;

template <typename T> bool assign(T& member, const T& value) {
    if (member == value)
        return false;
    member = value;
    return true;
}
} // namespace

TNValLabel::TNValLabel(QWidget* parent) : QWidget(parent) {
    setFocusPolicy(Qt::NoFocus);
    resize(121, 20);
    adjustHeight();
}

void TNValLabel::setValue(long double value) {
    if (assign(value_, value))
        rebuildCaption();
}

void TNValLabel::setPutAComma(bool on) {
    if (assign(putAComma_, on))
        rebuildCaption();
}

void TNValLabel::setZeroDisplay(bool on) {
    if (assign(zeroDisplay_, on))
        rebuildCaption();
}

void TNValLabel::setLeadingChar(QChar c) {
    if (c >= u' ' && assign(leadingChar_, c))
        rebuildCaption();
}

void TNValLabel::setFixDecimal(int decimals) {
    if (assign(fixDecimal_, std::clamp(decimals, -1, kMaxDecimals)))
        rebuildCaption();
}

void TNValLabel::setAlignment(Qt::Alignment horizontal) {
    if (assign(alignment_, horizontal & Qt::AlignHorizontal_Mask))
        update();
}

void TNValLabel::setLayout(TextLayout layout) {
    if (assign(layout_, layout))
        update();
}

void TNValLabel::setAutoSize(bool on) {
    if (assign(autoSize_, on))
        adjustHeight();
}

void TNValLabel::setCtl3D(bool on) {
    if (!assign(ctl3D_, on))
        return;
    adjustHeight();
    update();
}

void TNValLabel::setTransparent(bool on) {
    if (assign(transparent_, on))
        update();
}

QColor TNValLabel::color() const {
    return color_.isValid() ? color_ : palette().color(QPalette::Window);
}

void TNValLabel::setColor(const QColor& color) {
    if (assign(color_, color))
        update();
}

void TNValLabel::setCaption(const QString& caption) {
    if (assign(caption_, caption))
        update(textRect()); // the whole text area is painted anew: no remnant of the old text
}

// Up to 14 decimals without trailing zeros, or exactly FixDecimal of them; grouped thousands
// only with PutAComma.
QString TNValLabel::formattedValue() const {
    QLocale locale;
    locale.setNumberOptions(putAComma_ ? QLocale::DefaultNumberOptions
                                       : QLocale::OmitGroupSeparator);
    const double value = double(value_);
    if (fixDecimal_ >= 0)
        return locale.toString(value, 'f', fixDecimal_);
    QString text = locale.toString(value, 'f', kMaxDecimals);
    const QString point = locale.decimalPoint();
    while (text.endsWith(locale.zeroDigit()))
        text.chop(1);
    if (text.endsWith(point))
        text.chop(point.size());
    return text;
}

void TNValLabel::rebuildCaption() {
    if (value_ == 0) {
        setCaption(zeroDisplay_ ? QStringLiteral("0") : QString());
        return;
    }
    const QString prefix = leadingChar_ == u' ' ? QString() : QString(leadingChar_);
    setCaption(prefix + formattedValue());
}

QRect TNValLabel::textRect() const {
    if (transparent_)
        return rect();
    return ctl3D_ ? rect().adjusted(4, 3, -5, -3) : rect().adjusted(1, 1, -2, -2);
}

// Sunken in two steps: shadow over highlight outside, dark shadow over light one pixel in.
void TNValLabel::paintFrame(QPainter& painter) const {
    const QRect r = rect().adjusted(0, 0, -1, -1);
    const auto edge = [&painter](const QRect& box, const QColor& topLeft,
                                 const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(box.topLeft(), box.topRight());
        painter.drawLine(box.topLeft(), box.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(box.bottomLeft(), box.bottomRight());
        painter.drawLine(box.topRight(), box.bottomRight());
    };
    const QPalette& p = palette();
    if (!ctl3D_) {
        painter.setPen(p.color(QPalette::WindowText));
        painter.drawRect(r);
        return;
    }
    edge(r, p.color(QPalette::Dark), p.color(QPalette::Light));
    edge(r.adjusted(1, 1, -1, -1), p.color(QPalette::Shadow), p.color(QPalette::Midlight));
}

void TNValLabel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (!transparent_) {
        painter.fillRect(rect(), color());
        paintFrame(painter);
    }
    const Qt::Alignment vertical = layout_ == TextLayout::Top      ? Qt::AlignTop
                                   : layout_ == TextLayout::Bottom ? Qt::AlignBottom
                                                                   : Qt::AlignVCenter;
    const int flags = int(alignment_ | vertical) | Qt::TextSingleLine | Qt::TextShowMnemonic;
    const QRect area = textRect();
    painter.setFont(font());
    if (isEnabled()) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(area, flags, caption_);
        return;
    }
    painter.setPen(palette().color(QPalette::Light));
    painter.drawText(area.translated(1, 1), flags, caption_);
    painter.setPen(palette().color(QPalette::Dark));
    painter.drawText(area, flags, caption_);
}

void TNValLabel::changeEvent(QEvent* event) {
    if (event->type() == QEvent::FontChange)
        adjustHeight();
    QWidget::changeEvent(event);
}

void TNValLabel::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
    QWidget::mouseReleaseEvent(event);
}

// The font's height and the frame's borders; the width stays.
void TNValLabel::adjustHeight() {
    if (!autoSize_)
        return;
    const int height = fontMetrics().height() + (ctl3D_ ? 8 : 6) * kBorderHeight;
    if (height != this->height())
        resize(width(), height);
    else
        update(textRect());
}
