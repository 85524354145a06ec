#include "FormScaler.h"

#include "ScalableControl.h"

#include <QApplication>
#include <QCheckBox>
#include <QCursor>
#include <QEvent>
#include <QProxyStyle>
#include <QScreen>
#include <QWidget>
#include <utility>

using namespace kelvos;

namespace {
// A window manager frames a window soon after it is first shown; without one there is none.
constexpr int kFrameWaitMs = 2000;

// The platform style, with a check box's indicator and its gap to the caption as large as the
// window's scale makes them: the style draws them at its own size otherwise.
class ScaledIndicatorStyle final : public QProxyStyle {
public:
    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        const int pixels = QProxyStyle::pixelMetric(metric, option, widget);
        switch (metric) {
        case PM_IndicatorWidth:
        case PM_IndicatorHeight:
        case PM_CheckBoxLabelSpacing:
            return scaledPixels(pixels, FormScaler::scaleOf(widget));
        default:
            return pixels;
        }
    }
};

QStyle* indicatorStyle() {
    static QPointer<ScaledIndicatorStyle> style;
    if (!style) {
        style = new ScaledIndicatorStyle;
        style->setParent(qApp);
    }
    return style;
}

QMargins frameOf(const QWidget* window) {
    const QRect client = window->geometry(), frame = window->frameGeometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}
} // namespace

FormScaler::FormScaler(QWidget* form, QSize design) : QObject(form), form_(form), design_(design) {
    setObjectName("FormScaler");
    form->setMinimumSize(scaledSize(design, kMinimumScale));
    form->setMaximumSize(scaledSize(design, kMaximumScale));
    form->resize(design);
    form->installEventFilter(this);
    frameWait_.setSingleShot(true);
    frameWait_.setInterval(kFrameWaitMs);
    connect(&frameWait_, &QTimer::timeout, this, [this] { awaitingFrame_ = false; });
}

void FormScaler::add(QWidget* control, const QRect& design) {
    controls_.push_back({control, control->parentWidget(), design, std::nullopt});
    if (qobject_cast<QCheckBox*>(control))
        control->setStyle(indicatorStyle());
}

void FormScaler::addChildren() {
    for (QWidget* child : form_->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (!child->isWindow())
            add(child, child->geometry());
    }
}

FormScaler* FormScaler::of(const QWidget* widget) {
    return widget ? widget->window()->findChild<FormScaler*>(QString(), Qt::FindDirectChildrenOnly)
                  : nullptr;
}

double FormScaler::scaleOf(const QWidget* widget) {
    const FormScaler* scaler = of(widget);
    return scaler ? scaler->scale() : 1.0;
}

void FormScaler::open(const std::optional<WindowPlace>& kept) {
    kept_ = kept;
    openedFrame_ = frameOf(form_);
    awaitingFrame_ = true;
    applyOpening(openedFrame_);
}

void FormScaler::applyOpening(QMargins frame) {
    QList<QRect> workAreas;
    for (const QScreen* screen : QGuiApplication::screens())
        workAreas << screen->availableGeometry();
    const QScreen* pointerScreen = QGuiApplication::screenAt(QCursor::pos());
    if (!pointerScreen)
        pointerScreen = QGuiApplication::primaryScreen();
    const WindowOpening opening = openingPlace(
        design_, frame, workAreas,
        pointerScreen ? pointerScreen->availableGeometry() : QRect(QPoint(0, 0), design_), kept_);
    form_->resize(scaledSize(design_, opening.scale));
    form_->move(opening.framePosition);
    layOut();
}

WindowPlace FormScaler::place() const {
    return {scale_, form_->frameGeometry().topLeft()};
}

bool FormScaler::frameKnown() const {
    return form_->frameGeometry() != form_->geometry();
}

bool FormScaler::eventFilter(QObject* watched, QEvent* event) {
    if (watched != form_)
        return false;
    switch (event->type()) {
    case QEvent::Resize:
        layOut();
        break;
    case QEvent::Show:
        if (awaitingFrame_ && !frameWait_.isActive())
            frameWait_.start();
        [[fallthrough]];
    case QEvent::Move:
    case QEvent::WindowActivate:
        // The window manager has put its frame around the window: the place is worked out
        // again with it, so that the frame too lies inside the work area.
        if (awaitingFrame_ && form_->isVisible() && frameKnown()) {
            awaitingFrame_ = false;
            frameWait_.stop();
            if (frameOf(form_) != openedFrame_)
                applyOpening(frameOf(form_));
        }
        break;
    default:
        break;
    }
    return false;
}

void FormScaler::layOut() {
    const QSize client = form_->size();
    scale_ = kelvos::scaleOf(design_, client);
    const QPoint origin = designArea(design_, client).topLeft();
    for (Control& control : controls_) {
        if (control.widget && !control.font)
            control.font = control.widget->font();
    }
    for (Control& control : controls_) {
        QWidget* widget = control.widget;
        // A control that was undocked into a window of its own, or docked elsewhere, is
        // placed by whoever moved it.
        if (!widget || widget->parentWidget() != control.parent || widget->window() != form_)
            continue;
        // The scale first: a control lays out its parts again when it is resized.
        if (auto* custom = dynamic_cast<ScalableControl*>(widget))
            custom->setDisplayScale(scale_);
        else
            widget->setFont(scaledFont(*control.font, scale_, widget->logicalDpiY()));
        QRect shown = scaledRect(control.design, scale_);
        if (control.parent == form_)
            shown.translate(origin);
        widget->setGeometry(shown);
    }
}
