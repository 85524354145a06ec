#include "TAppHintN.h"

#include "FormScaler.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyle>

using namespace kelvos;

namespace {
TAppHintN* activeInstance = nullptr;

// The application's hint timing; it outlives any one hint component.
struct HintTiming {
    int pause = QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay);
    int hidePause = 2500;
    int shortPause = 50;
};

HintTiming& timing() {
    static HintTiming values;
    return values;
}

// The framework's hint rectangle is the text's plus a small border.
constexpr QSize kTextBorder(6, 2);
// Hints are narrower than the screen by this much.
constexpr int kMaxWidthReduction = 8;

QWidget* hintedWidget(QWidget* widget) {
    for (; widget; widget = widget->parentWidget()) {
        if (!widget->toolTip().isEmpty())
            return widget;
        if (widget->isWindow())
            break;
    }
    return nullptr;
}

bool endsHint(QEvent::Type type) {
    switch (type) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::KeyPress:
    case QEvent::Wheel:
        return true;
    default:
        return false;
    }
}
} // namespace

// ---- THintEx -----------------------------------------------------------------------------

THintEx::THintEx()
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setObjectName("THintEx");
    if (const TAppHintN* settings = TAppHintN::active())
        setFont(settings->Font());
}

void THintEx::ActivateHint(const QRect& textRect, const QString& text, BalloonTail tail) {
    clearMask();
    const TAppHintN* settings = TAppHintN::active();
    const HintStyle style = settings ? settings->HintStyle() : HintStyle::hsOwnerDraw;
    const QRect shown = hintWindowRect(style, textRect);
    // The leader line is drawn over whatever lies beneath, so its window is not erased.
    setAttribute(Qt::WA_NoSystemBackground, !settings || style == HintStyle::hsLineString);
    const QRegion region = hintWindowRegion(style, shown.size(), tail);
    if (!region.isEmpty())
        setMask(region);
    activated_ = shown;
    text_ = text;
    setGeometry(shown);
    tail_ = tail;
    outline_ = balloonOutline(shown.size(), tail);
    show();
    update();
}

void THintEx::paintEvent(QPaintEvent* event) {
    const TAppHintN* settings = TAppHintN::active();
    if (!settings)
        return;
    QPainter painter(this);
    painter.setFont(font()); // the component's, at the scale of the hinted control's window
    const QBrush brush = settings->Brush();
    const bool solid = brush.style() == Qt::SolidPattern;
    painter.setBackground(solid ? brush.color() : settings->BGColor());
    painter.setBackgroundMode(solid ? Qt::OpaqueMode : Qt::TransparentMode);
    painter.setPen(settings->Pen());
    paintStyled(painter, *settings, event->rect());
}

void THintEx::paintStyled(QPainter& painter, const TAppHintN& settings, const QRect& clip) {
    const bool shadow = settings.ShadowVisible();
    const QColor shadowColor = settings.ShadowColor();
    const QColor textColor = settings.FontColor();
    const QPen outline = settings.Pen();
    switch (settings.HintStyle()) {
    case HintStyle::hsFukidashi:
        painter.fillRect(clip, settings.Brush());
        if (shadow)
            drawText(painter, balloonTextOffset(tail_) + QPoint(1, 1), shadowColor);
        drawText(painter, balloonTextOffset(tail_), textColor);
        painter.setPen(outline);
        painter.setBrush(Qt::NoBrush);
        painter.drawPolygon(outline_.data(), int(outline_.size()));
        break;
    case HintStyle::hsRoundRect:
        painter.fillRect(clip, settings.Brush());
        if (shadow)
            drawText(painter, {2, 2}, shadowColor);
        drawText(painter, {1, 1}, textColor);
        painter.setPen(outline);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRect(0, 0, activated_.width(), activated_.height()), 4, 4);
        break;
    case HintStyle::hsLineString: {
        if (shadow) {
            for (const QPoint offset :
                 {QPoint(19, 10), QPoint(19, 12), QPoint(18, 11), QPoint(20, 11)})
                drawText(painter, offset, shadowColor);
        }
        drawText(painter, {19, 11}, textColor);
        painter.setPen(outline);
        const int foot = activated_.height() - 2;
        const QPoint leader[] = {{1, 1}, {17, foot}, {activated_.width(), foot}};
        painter.drawPolyline(leader, 3);
        break;
    }
    case HintStyle::hsOwnerDraw:
        if (const auto& paint = settings.OnPaint())
            paint(text_, painter, width(), height());
        break;
    }
}

void THintEx::drawText(QPainter& painter, QPoint offset, const QColor& color) {
    painter.setPen(color);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.drawText(rect().translated(offset), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                     text_);
}

// ---- TAppHintN ---------------------------------------------------------------------------

TAppHintN::TAppHintN(QObject* parent) : QObject(parent) {
    activeInstance = this;
    pause_.setSingleShot(true);
    hidePause_.setSingleShot(true);
    connect(&pause_, &QTimer::timeout, this, &TAppHintN::pauseElapsed);
    // A hint that has had its time is done with: the pointer's next move, on the same control
    // or on coming back to it, waits for the pause and shows it again.
    connect(&hidePause_, &QTimer::timeout, this, [this] {
        hideHint();
        target_ = nullptr;
    });
    qApp->installEventFilter(this);
}

TAppHintN::~TAppHintN() {
    if (activeInstance == this)
        activeInstance = nullptr;
}

TAppHintN* TAppHintN::active() {
    return activeInstance;
}

void TAppHintN::setHintStyle(kelvos::HintStyle style) {
    style_ = style;
    rebuildHintWindow();
}

void TAppHintN::setFont(const QFont& font) {
    font_ = font;
    rebuildHintWindow();
}

int TAppHintN::HintPause() {
    return timing().pause;
}
void TAppHintN::setHintPause(int ms) {
    timing().pause = ms;
}
int TAppHintN::HintHidePause() {
    return timing().hidePause;
}
void TAppHintN::setHintHidePause(int ms) {
    timing().hidePause = ms;
}
int TAppHintN::HintShortPause() {
    return timing().shortPause;
}
void TAppHintN::setHintShortPause(int ms) {
    timing().shortPause = ms;
}

THintEx* TAppHintN::shownHint() const {
    return window_ && window_->isVisible() ? window_.get() : nullptr;
}

// New settings take effect from the next hint, which gets a new window.
void TAppHintN::rebuildHintWindow() {
    hideHint();
    window_.reset();
}

bool TAppHintN::eventFilter(QObject* watched, QEvent* event) {
    if (activeInstance != this || !watched->isWidgetType())
        return false;
    if (event->type() == QEvent::ToolTip)
        return true; // the toolkit's own tooltip never shows
    auto* widget = static_cast<QWidget*>(watched);
    if (event->type() == QEvent::MouseMove) {
        pointerAt(widget, static_cast<QMouseEvent*>(event)->globalPosition().toPoint());
    } else if (endsHint(event->type())) {
        // A hint closed by a press stays closed until the pointer reaches another control.
        pause_.stop();
        hideHint();
    } else if (event->type() == QEvent::Leave && widget->isWindow()) {
        pause_.stop();
        hideHint();
        target_ = nullptr;
    }
    return false;
}

void TAppHintN::pointerAt(QWidget* widget, QPoint globalPosition) {
    pointer_ = globalPosition;
    QWidget* hinted = hintedWidget(widget);
    if (hinted == target_)
        return;
    const bool moving = shownHint() != nullptr;
    hideHint();
    target_ = hinted;
    pause_.stop();
    if (target_)
        pause_.start(moving ? HintShortPause() : HintPause());
}

void TAppHintN::pauseElapsed() {
    if (!target_ || !target_->isVisible())
        return;
    if (!window_)
        window_ = std::make_unique<THintEx>();
    const QString text = target_->toolTip();
    const QFont font = scaledFont(font_, FormScaler::scaleOf(target_), target_->logicalDpiY());
    window_->setFont(font);
    const HintPlacement placement = placementFor(*target_, text, font);
    window_->ActivateHint(placement.textRect, text, placement.tail);
    if (HintHidePause() > 0)
        hidePause_.start(HintHidePause());
}

void TAppHintN::hideHint() {
    hidePause_.stop();
    if (window_)
        window_->hide();
}

HintPlacement TAppHintN::placementFor(const QWidget& control, const QString& text,
                                      const QFont& font) const {
    const QScreen* screen = QGuiApplication::screenAt(pointer_);
    const QRect available = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    const int maxWidth = available.width() - kMaxWidthReduction;
    const QRect needed = QFontMetrics(font).boundingRect(QRect(0, 0, maxWidth, 0),
                                                         Qt::AlignLeft | Qt::TextWordWrap, text);
    return placeHint(style_, needed.size() + kTextBorder, pointer_,
                     QRect(control.mapToGlobal(QPoint(0, 0)), control.size()), available);
}
