#pragma once

#include "DesignScale.h"

#include <QFont>
#include <QObject>
#include <QPointer>
#include <QTimer>
#include <optional>
#include <vector>

class QWidget;

// Lays a window out at a scale of its design, so that it fits the screen and can be made as
// large as the operator likes: every control at its designed rectangle and font times the
// scale, the design centred in the client area with the window's background around it. The
// scale follows the client area, whatever resizes it.
class FormScaler : public QObject {
    Q_OBJECT
public:
    FormScaler(QWidget* form, QSize design);

    // A control at its designed rectangle within its parent (the form or another control).
    void add(QWidget* control, const QRect& design);
    // Every control of the form, each at its present rectangle: for a form built at its
    // designed size.
    void addChildren();

    double scale() const { return scale_; }
    // The scaler of the widget's window, if it has one; the scale a widget is shown at.
    static FormScaler* of(const QWidget* widget);
    static double scaleOf(const QWidget* widget);

    // Sizes and places the form before it is shown (see openingPlace); once the window
    // manager's frame is known, the place is worked out again with it.
    void open(const std::optional<kelvos::WindowPlace>& kept = std::nullopt);
    // The place to keep with the settings.
    kelvos::WindowPlace place() const;
    // Lays the controls out for the present client area.
    void layOut();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Control {
        QPointer<QWidget> widget;
        QWidget* parent;
        QRect design;
        std::optional<QFont> font; // as designed, taken at the first layout
    };
    void applyOpening(QMargins frame);
    bool frameKnown() const;

    QWidget* form_;
    QSize design_;
    double scale_ = 1;
    std::vector<Control> controls_;
    std::optional<kelvos::WindowPlace> kept_;
    QMargins openedFrame_;       // the frame the place was worked out with
    bool awaitingFrame_ = false; // from opening until the frame is known or the wait is over
    QTimer frameWait_;           // how long a frame may take to appear after showing
};
