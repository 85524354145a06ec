#pragma once

#include "LapBook.h"
#include "LapWindow.h"
#include "RunEvent.h"
#include "RunStates.h"

#include <QDateTime>
#include <QObject>
#include <functional>

class DockableControl;
class QCheckBox;
class QLabel;
class QScrollBar;
class QTimer;
class TChart;
class TCuteButton;
class TStringGridEx;

// What the lap chart takes from the window's surroundings.
struct ChartServices {
    QString workingDirectory; // pictures are saved here
    std::function<QDateTime()> now;
    std::function<void(const QString&)> reportProblem;
    std::function<bool()> autoScroll; // "AutoScroll": the chart keeps the last 21 laps in view
};

// The lap chart of competitor 1 with its commands: the live points of each lap, the rebuilds
// from the Main grid after a stop, zoom, 3D view, value marks, docking and picture files.
class ChartPanel : public QObject {
    Q_OBJECT
public:
    ChartPanel(QWidget* form, ChartServices services, const TStringGridEx& mainGrid,
               const kelvos::LapState& laps);

    void applyRunState(const kelvos::RunStateEffects& effects);
    // "UPdate", "Animate", "Push" and "Clear" rebuild the chart from the Main grid's rows.
    void enableRebuilds(bool enabled);
    void showLapCount(int laps);
    // The bars' positions the window starts with.
    void restoreBarPositions();

    // Competitor 1's laps are plotted as they are pressed.
    void take(const kelvos::RunEvent& event);
    // While a run is rebuilt from its journal, the view follows the laps only when
    // showRebuiltLaps() is called and at the end: the window of the last laps is worked out
    // from the grid at every lap otherwise.
    void beginRebuild() { rebuilding_ = true; }
    void showRebuiltLaps();
    void endRebuild();

    // "AutoScroll" changed, by the operator, the menu or the settings.
    void CheckBox12Click();

    // The chart's place in the window, where other controls may dock too.
    QWidget* dockSite() const { return Panel2; }

signals:
    void commandDone();

private:
    void connectCommands();
    void CuteButton22Click();
    void CuteButton24Click();
    void CuteButton25Click();
    void CuteButton29Click();
    void CuteButton26Click();
    void CuteButton27Click();
    void CuteButton28Click();
    void ScrollBar1Change(int position);
    void ScrollBar2Change(int position);
    void ScrollBar3Change(int position);
    void CheckBox1Click(bool on);
    void CheckBox2Click(bool on);
    void CheckBox4Click(bool on);
    void CuteButton43Click();
    void Chbutton1Click();
    void CuteButton21Click();
    void CuteButton23Click();

    // A start or a restart: the zoom is undone; a start also forgets the last rebuild.
    void showRunStarted();
    void showRunRestarted();
    // A reset: no points, automatic ranges, the rebuilds start from the first row.
    void clearForReset();
    // The point pair of a lap, and the lap count beside the chart.
    void addLap(const kelvos::LapFacts& lap);
    kelvos::GridCellReader mainGridCells() const;
    // The run's own laps, read as the Main grid's rows would be.
    kelvos::GridCellReader runLapCells() const;
    void clearChart();
    void showPushReady();
    void undoZoom();
    void setAllAxesAutomatic();
    void appendPair(const kelvos::PointPair& pair);
    bool appendReplayPoint(kelvos::CellConversion conversion);
    QString showLapWindow(int lastIndex, const kelvos::GridCellReader& cells);
    void reframe(int lapsSeen);
    void reportIfAny(const QString& problem);
    void animateStep();
    void animateTimerFired();
    void stopAnimation();
    void savePicture(const QString& suffix, const QByteArray& bytes);

    ChartServices services_;
    const TStringGridEx& mainGrid_;
    const kelvos::LapState& laps_;
    // The rebuilds' progress through the Main grid's rows, and the lap count the chart knows.
    int replayIndex_ = 0;
    int lastReplayIndex_ = 0;
    int lapCountCopy_ = 0;
    QList<kelvos::PointPair> runLaps_; // competitor 1's laps of this run, lap n at n - 1
    bool rebuilding_ = false;
    bool windowBehind_ = false; // laps were added while rebuilding and the view did not follow
    int animateDelay_ = 0;
    int animateRows_ = 0;  // the Main grid's rows when "Animate" began
    int animateSteps_ = 0; // points "Animate" has appended so far
    QTimer* animateTimer_;
    DockableControl* docking_;
    TChart* Chart1;
    QWidget* Panel2;
    TCuteButton *CuteButton21, *CuteButton22, *CuteButton23, *CuteButton24, *CuteButton25,
        *CuteButton26, *CuteButton27, *CuteButton28, *CuteButton29, *CuteButton43, *CuteButton45,
        *Chbutton1;
    QScrollBar *ScrollBar1, *ScrollBar2, *ScrollBar3;
    QCheckBox *CheckBox1, *CheckBox2, *CheckBox4;
    QLabel* Label26;
};
