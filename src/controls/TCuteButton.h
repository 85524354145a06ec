#pragma once

#include <QPushButton>

// The push button of the program's windows. Besides a click, the Enter key and the space bar
// press it while it has the focus, so the operator can start a run or record laps from the
// keyboard without aiming the mouse.
class TCuteButton : public QPushButton {
    Q_OBJECT
public:
    explicit TCuteButton(QWidget* parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent* event) override;
};
