#pragma once

#include "ShineLook.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPalette>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

// One colour set of a gradient speed button. Every change tells the owner, which repaints.
class TShineBtnColors {
public:
    // A set with the system's frame colours from the palette and the given face colour.
    TShineBtnColors(const QPalette& palette, QPalette::ColorRole face);

    QColor Color() const { return color_; }
    void setColor(const QColor& color) { change(color_, color); }
    QColor Highlight() const { return highlight_; }
    void setHighlight(const QColor& color) { change(highlight_, color); }
    QColor Shadow() const { return shadow_; }
    void setShadow(const QColor& color) { change(shadow_, color); }
    QColor DarkShadow() const { return darkShadow_; }
    void setDarkShadow(const QColor& color) { change(darkShadow_, color); }
    QColor GradColor() const { return gradColor_; }
    void setGradColor(const QColor& color) { change(gradColor_, color); }
    bool Gradation() const { return gradation_; }
    void setGradation(bool on) { change(gradation_, on); }
    bool GradVertical() const { return gradVertical_; }
    void setGradVertical(bool on) { change(gradVertical_, on); }
    // Copies all seven values.
    void Assign(const TShineBtnColors& other);

    void setOnChange(std::function<void()> onChange) { onChange_ = std::move(onChange); }

private:
    template <typename T> void change(T& field, const T& value) {
        field = value;
        if (onChange_)
            onChange_();
    }

    QColor color_, highlight_, shadow_, darkShadow_;
    QColor gradColor_{0, 0, 255};
    bool gradation_ = false;
    bool gradVertical_ = false;
    std::function<void()> onChange_;
};

enum class ShineFrameType { ftFlatFrame, ftNormalFrame, ftEnclosedFrame };
enum class GlyphLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// A windowless-looking speed button whose face is painted from three colour sets (normal,
// hovered, pressed), solid or as a gradient, with a frame, a caption that may carry shadow
// and highlight copies, a hover font and a glyph lit by pixel effects. It follows the pointer
// itself and, every 200 ms while hovered, checks that the pointer is still over it.
class TShineSpeedButton : public QWidget {
    Q_OBJECT
public:
    explicit TShineSpeedButton(QWidget* parent = nullptr);

    TShineBtnColors& Colors() { return colors_; }
    TShineBtnColors& ActiveColors() { return activeColors_; }
    TShineBtnColors& PressedColors() { return pressedColors_; }
    bool ActiveColorsEnabled() const { return activeColorsEnabled_; }
    void setActiveColorsEnabled(bool on) { store(activeColorsEnabled_, on); }
    // The caption's colours: normal, hovered; shadow and highlight copies when set.
    QFont ActiveFont() const { return activeFont_; }
    void setActiveFont(const QFont& font) { store(activeFont_, font); }
    QColor FontColor() const { return fontColor_; }
    void setFontColor(const QColor& color) { store(fontColor_, color); }
    QColor ActiveFontColor() const { return activeFontColor_; }
    void setActiveFontColor(const QColor& color) { store(activeFontColor_, color); }
    std::optional<QColor> FontShadow() const { return fontShadow_; }
    void setFontShadow(std::optional<QColor> color) { store(fontShadow_, color); }
    std::optional<QColor> FontHighlight() const { return fontHighlight_; }
    void setFontHighlight(std::optional<QColor> color) { store(fontHighlight_, color); }
    ShineFrameType FrameType() const { return frameType_; }
    void setFrameType(ShineFrameType type) { store(frameType_, type); }
    void setUpFrame(bool on) { store(upFrame_, on); }
    void setDownFrame(bool on) { store(downFrame_, on); }
    void setActiveFrame(bool on) { store(activeFrame_, on); }
    Qt::Alignment Alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment) { store(alignment_, alignment); }
    void setAlMargin(int margin) { store(alMargin_, margin); }
    QString Caption() const { return caption_; }
    void setCaption(const QString& caption);
    void setShowAccelChar(bool on);
    void setAccelCharDown(bool on) { accelCharDown_ = on; }
    void setClickDownHook(bool on) { clickDownHook_ = on; }
    void setGlyph(const QImage& glyph);
    void setLayout(GlyphLayout layout) { store(layout_, layout); }
    void setMargin(int margin) { store(margin_, margin); }
    void setSpacing(int spacing) { store(spacing_, spacing); }
    void setShineColor(const QColor& color) { store(shineColor_, color); }
    void setActiveImage(kelvos::ActiveImage effect) { store(activeImage_, effect); }
    void setUpImage(kelvos::StateImage treatment) { store(upImage_, treatment); }
    void setDownImage(kelvos::StateImage treatment) { store(downImage_, treatment); }
    void setDisabledImage(kelvos::StateImage treatment) { store(disabledImage_, treatment); }
    void setTransparent(bool on) { store(transparent_, on); }
    int GroupIndex() const { return groupIndex_; }
    void setGroupIndex(int index) { groupIndex_ = index; }
    bool AllowAllUp() const { return allowAllUp_; }
    void setAllowAllUp(bool on) { allowAllUp_ = on; }
    bool Down() const { return down_; }
    void setDown(bool down);

    kelvos::ShineState state() const { return state_; }
    // Where the caption is drawn in the current state.
    QRect captionRect() const;

signals:
    void clicked();
    void doubleClicked();
    void OnMouseEnter(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, QPoint position);
    void OnMouseLeave(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, QPoint position);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void changeEvent(QEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    template <typename T> void store(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        update();
    }
    void setState(kelvos::ShineState state);
    void pointerEntered();
    void pointerLeft();
    void hoverTick();
    void recheckHover(QPoint pointer);
    void performClick();
    void tellGroup();
    void groupMemberWentDown(TShineSpeedButton* other);
    bool pointerInside() const;

    const TShineBtnColors& colorSet(kelvos::ColorSetRole role) const;
    void paintFace(QPainter& painter, const TShineBtnColors& set) const;
    void paintFrame(QPainter& painter, const TShineBtnColors& set, bool sunk) const;
    void paintGlyphAndCaption(QPainter& painter, const kelvos::ShineLook& look) const;
    QImage glyphForState(bool hovered) const;
    int textFlags() const;
    QFont fontForState() const;
    QRect blockRects(QRect* glyphRect) const;

    TShineBtnColors colors_, activeColors_, pressedColors_;
    bool activeColorsEnabled_ = false;
    QFont activeFont_;
    QColor fontColor_, activeFontColor_;
    std::optional<QColor> fontShadow_, fontHighlight_;
    ShineFrameType frameType_ = ShineFrameType::ftNormalFrame;
    bool upFrame_ = true, downFrame_ = true, activeFrame_ = true;
    Qt::Alignment alignment_ = Qt::AlignHCenter;
    int alMargin_ = -1;
    QString caption_;
    bool showAccelChar_ = true;
    bool accelCharDown_ = false;
    bool clickDownHook_ = false;
    int accelShortcut_ = 0;
    QImage glyph_;
    GlyphLayout layout_ = GlyphLayout::blGlyphLeft;
    int margin_ = -1;
    int spacing_ = 4;
    QColor shineColor_{255, 255, 0};
    kelvos::ActiveImage activeImage_ = kelvos::ActiveImage::aiFrameLight;
    kelvos::StateImage upImage_ = kelvos::StateImage::diDefault;
    kelvos::StateImage downImage_ = kelvos::StateImage::diDefault;
    kelvos::StateImage disabledImage_ = kelvos::StateImage::diDefault;
    bool transparent_ = false;
    int groupIndex_ = 0;
    bool allowAllUp_ = false;
    bool down_ = false;

    kelvos::ShineState state_ = kelvos::ShineState::Up;
    bool hovering_ = false;
    bool held_ = false;
    QTimer hoverTimer_;
};
