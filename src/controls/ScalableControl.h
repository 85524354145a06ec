#pragma once

// A control that draws with fonts and measures of its own: told the scale its window is laid
// out at, it sizes them to it. Other controls get their font scaled by the window.
class ScalableControl {
public:
    virtual void setDisplayScale(double scale) = 0;

protected:
    ~ScalableControl() = default;
};
