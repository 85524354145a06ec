#pragma once

#include "RunStates.h"

#include <QObject>

class QLabel;
class QScrollBar;
class TCuteButton;

// The lap chart's place and controls: its rebuild and zoom commands, the replay speed and 3D
// bars, and the lap count beside it.
class ChartPanel : public QObject {
    Q_OBJECT
public:
    explicit ChartPanel(QWidget* form);

    void applyRunState(const kelvos::RunStateEffects& effects);
    // "UPdate", "Animate", "Push" and "Clear" rebuild the chart from the Main grid's rows.
    void enableRebuilds(bool enabled);
    void showLapCount(int laps);
    // The bars' positions the window starts with.
    void restoreBarPositions();

private:
    TCuteButton *CuteButton22, *CuteButton24, *CuteButton25, *CuteButton28, *CuteButton29;
    QScrollBar *ScrollBar1, *ScrollBar2, *ScrollBar3;
    QLabel* Label26;
};
