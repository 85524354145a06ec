#pragma once

#include "HintShape.h"

#include <QBrush>
#include <QFont>
#include <QPen>
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

class QPainter;
class TAppHintN;

// The hint window: a borderless pop-up shaped as the active hint component's style asks,
// painted from that component's brush, pen, font and shadow settings.
class THintEx : public QWidget {
    Q_OBJECT
public:
    THintEx();

    // Shows the hint for a text that needs the given rectangle (screen coordinates), with the
    // balloon's tail where it is given.
    void ActivateHint(const QRect& textRect, const QString& text, kelvos::BalloonTail tail = {});
    QString text() const { return text_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void paintStyled(QPainter& painter, const TAppHintN& settings, const QRect& clip);
    void drawText(QPainter& painter, QPoint offset, const QColor& color);

    QString text_;
    QRect activated_;
    std::array<QPoint, 8> outline_{};
    kelvos::BalloonTail tail_;
};

// Replaces the toolkit's tooltips for the whole application with THintEx windows and sets
// when hints appear and for how long. The most recently created instance is the active one;
// every hint window reads its settings from it.
class TAppHintN : public QObject {
    Q_OBJECT
public:
    using PaintHandler =
        std::function<void(const QString& text, QPainter& painter, int width, int height)>;

    explicit TAppHintN(QObject* parent = nullptr);
    ~TAppHintN() override;
    static TAppHintN* active();

    kelvos::HintStyle HintStyle() const { return style_; }
    void setHintStyle(kelvos::HintStyle style);
    QBrush Brush() const { return brush_; }
    void setBrush(const QBrush& brush) { brush_ = brush; }
    QColor BGColor() const { return bgColor_; }
    void setBGColor(const QColor& color) { bgColor_ = color; }
    QPen Pen() const { return pen_; }
    void setPen(const QPen& pen) { pen_ = pen; }
    QFont Font() const { return font_; }
    void setFont(const QFont& font);
    QColor FontColor() const { return fontColor_; }
    void setFontColor(const QColor& color) { fontColor_ = color; }
    bool ShadowVisible() const { return shadowVisible_; }
    void setShadowVisible(bool on) { shadowVisible_ = on; }
    QColor ShadowColor() const { return shadowColor_; }
    void setShadowColor(const QColor& color) { shadowColor_ = color; }
    // The application's hint timing, in milliseconds.
    static int HintPause();
    static void setHintPause(int ms);
    static int HintHidePause();
    static void setHintHidePause(int ms);
    static int HintShortPause();
    static void setHintShortPause(int ms);
    // Paints the hint in hsOwnerDraw style.
    PaintHandler OnPaint() const { return onPaint_; }
    void setOnPaint(PaintHandler handler) { onPaint_ = std::move(handler); }

    // The hint window on show, or null.
    THintEx* shownHint() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void pointerAt(QWidget* widget, QPoint globalPosition);
    void pauseElapsed();
    void hideHint();
    void rebuildHintWindow();
    kelvos::HintPlacement placementFor(const QWidget& control, const QString& text,
                                       const QFont& font) const;

    kelvos::HintStyle style_ = kelvos::HintStyle::hsFukidashi;
    QBrush brush_{Qt::darkBlue};
    QColor bgColor_{Qt::black};
    QPen pen_{Qt::black, 1};
    QFont font_;
    QColor fontColor_{0, 255, 0};
    bool shadowVisible_ = true;
    QColor shadowColor_{0, 0, 255};
    PaintHandler onPaint_;

    std::unique_ptr<THintEx> window_;
    QPointer<QWidget> target_; // the hinted control under the pointer
    QPoint pointer_;
    QTimer pause_;
    QTimer hidePause_;
};
