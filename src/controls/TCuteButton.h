#pragma once

#include "CuteButtonLook.h"

#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

class TCuteButton;

// The single-shot timer of a held button: when it fires before the button is released, the
// button's drop-down menu opens.
class TCuteButtonTimer : public QTimer {
    Q_OBJECT
public:
    TCuteButtonTimer(TCuteButton* button, int delay);
};

// The push button of the program's windows. It paints its own face: an inner bevel (none when
// flat) and an outer bevel that rises while the pointer is over it or while it has the focus
// and sinks while it is pressed, with the caption moved down and right. Enter, the space bar,
// the accelerator and a left click press it; a held key never repeats the command. With a
// drop-down menu, a press opens the menu below the button (at once, or after the press has
// been held for the drop-down delay) and the button then does not click.
class TCuteButton : public QPushButton {
    Q_OBJECT
public:
    explicit TCuteButton(QWidget* parent = nullptr);

    kelvos::CaptionAlignment Alignment() const { return placement_.alignment; }
    void setAlignment(kelvos::CaptionAlignment alignment);
    kelvos::CaptionLayout Layout() const { return placement_.layout; }
    void setLayout(kelvos::CaptionLayout layout);
    int MarginX() const { return placement_.marginX; }
    void setMarginX(int margin);
    int MarginY() const { return placement_.marginY; }
    void setMarginY(int margin);
    int BevelWidth() const { return placement_.bevelWidth; }
    void setBevelWidth(int width);
    // An invalid colour stands for the system colour of that role, resolved when painting.
    QColor BevelHighlightColor() const;
    void setBevelHighlightColor(const QColor& color);
    QColor BevelShadowColor() const;
    void setBevelShadowColor(const QColor& color);
    QColor Color() const;
    void setColor(const QColor& color);
    bool UseDisabledColor() const { return useDisabledColor_; }
    void setUseDisabledColor(bool on);
    QColor DisabledColor() const { return disabledColor_; }
    void setDisabledColor(const QColor& color);
    bool ShowFocusRect() const { return showFocusRect_; }
    void setShowFocusRect(bool on);
    bool TabFocusUp() const { return tabFocusUp_; }
    void setTabFocusUp(bool on);
    QMenu* DropDownMenu() const { return dropDownMenu_; }
    void setDropDownMenu(QMenu* menu);
    int DropDownDelay() const { return dropDownDelay_; }
    void setDropDownDelay(int ms);
    bool EgnoreContClick() const { return egnoreContClick_; }
    void setEgnoreContClick(bool on);

    kelvos::Bevel outerBevel() const { return outer_; }
    kelvos::Bevel innerBevel() const;
    // Where the caption is drawn now.
    QRect captionRect() const;

signals:
    void OnMouseEnter(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, QPoint position);
    void OnMouseLeave(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons, QPoint position);

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;

private:
    kelvos::EdgeContext edgeContext() const;
    void moveEdge(kelvos::EdgeEvent event);
    void moveEdge(kelvos::EdgeEvent event, const kelvos::EdgeContext& context);
    void pressByKey();
    void cancelSpace();
    void startMenu(bool fromKeyboard);
    void delayElapsed();
    void stopDelay();
    void openMenu(bool fromKeyboard);
    void menuClosed();
    void clickGuarded(const std::function<void()>& clickStep);
    void paintBevel(QPainter& painter, QRect& rect, kelvos::Bevel bevel) const;
    void paintCaption(QPainter& painter, const QRect& rect) const;
    template <typename T> void store(T& field, const T& value);

    kelvos::CaptionPlacement placement_;
    QColor highlight_, shadow_, color_;
    bool useDisabledColor_ = false;
    QColor disabledColor_{128, 128, 128};
    bool showFocusRect_ = false;
    bool tabFocusUp_ = true;
    QPointer<QMenu> dropDownMenu_;
    int dropDownDelay_ = 0;
    bool egnoreContClick_ = false;

    kelvos::Bevel outer_ = kelvos::Bevel::None;
    bool spacePressed_ = false;
    bool leftHeld_ = false;
    bool keyboardMenu_ = false;
    bool clicking_ = false;
    TCuteButtonTimer* delayTimer_ = nullptr;
};
