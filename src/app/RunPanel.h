#pragma once

#include "LapBook.h"
#include "RunController.h"
#include "RunEvent.h"

#include <QObject>

class QLabel;
class TCuteButton;

// The run commands and the timing figures of competitor 1: total, lap in progress, last lap,
// difference, lap count, fastest and average lap, speeds.
class RunPanel : public QObject {
    Q_OBJECT
public:
    explicit RunPanel(QWidget* form);

    TCuteButton* startButton() const { return start; }

    void applyRunState(const kelvos::RunStateEffects& effects);
    void showCreated();
    void take(const kelvos::RunEvent& event);
    void showRefresh(const kelvos::RunFigures& figures);
    void showUnit(kelvos::SpeedUnit unit);
    void showUnitName(kelvos::SpeedUnit unit);

signals:
    void startClicked();
    void stopClicked();
    void restartClicked();
    void resetClicked();
    // A press and a release of the left button on the last lap's time, which stops the watch.
    void lapTimeClicked();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void applyLook();
    void showRunStarted();
    void showStopped(qint32 total);
    void showReset(qint32 total, kelvos::SpeedUnit unit);
    void showLap1(const kelvos::LapFacts& lap);

    TCuteButton *start, *stop, *CuteButton1, *CuteButton2;
    QLabel *Label1, *Label2, *Label3, *Label7, *Label9, *Label11, *Label12, *Label13, *Label14,
        *Label16;
    bool lapTimePressed_ = false;
};
