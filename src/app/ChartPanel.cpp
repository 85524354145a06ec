#include "ChartPanel.h"

#include "Docking.h"
#include "MainWindowLayout.h"
#include "SafeSave.h"
#include "TChart.h"
#include "TCuteButton.h"
#include "TStringGridEx.h"

#include <QBuffer>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QScrollBar>
#include <QTimer>

using namespace kelvos;
using kelvos::chart::AxisId;

namespace {

const QColor kPushNavy(0, 0, 128);
const QColor kPushMaroon(128, 0, 0);
constexpr int kWindowLaps = 21;

void setCaptionColor(TCuteButton* button, const QColor& color) {
    QPalette look = button->palette();
    look.setColor(QPalette::ButtonText, color);
    button->setPalette(look);
}

// The caption Panel2 shows while the chart is away from it.
void lookOfDockSiteCaption(QLabel* caption) {
    QFont font(QStringLiteral("Times New Roman"));
    font.setPixelSize(17);
    font.setBold(true);
    caption->setFont(font);
    QPalette look = caption->palette();
    look.setColor(QPalette::WindowText, QColor(255, 108, 38));
    caption->setPalette(look);
    caption->setAlignment(Qt::AlignCenter);
}

// The platform draws a disabled scroll bar as an enabled one: greyed, a bar that does nothing
// (the depth and angle without 3D) says so.
void greyWhenDisabled(QScrollBar* bar) {
    QPalette look = bar->palette();
    for (const auto& [role, color] : {std::pair{QPalette::Button, QColor(176, 176, 176)},
                                      std::pair{QPalette::Window, QColor(150, 150, 150)},
                                      std::pair{QPalette::Base, QColor(150, 150, 150)},
                                      std::pair{QPalette::WindowText, QColor(110, 110, 110)},
                                      std::pair{QPalette::ButtonText, QColor(110, 110, 110)}})
        look.setColor(QPalette::Disabled, role, color);
    bar->setPalette(look);
}

} // namespace

ChartPanel::ChartPanel(QWidget* form, ChartServices services, const TStringGridEx& mainGrid,
                       const LapState& laps)
    : QObject(form), services_(std::move(services)), mainGrid_(mainGrid), laps_(laps),
      animateTimer_(new QTimer(this)) {
    const PanelControls controls(form, PanelId::Chart);
    Chart1 = controls.take<TChart>("Chart1");
    Panel2 = controls.take<QWidget>("Panel2");
    CuteButton21 = controls.take<TCuteButton>("CuteButton21");
    CuteButton22 = controls.take<TCuteButton>("CuteButton22");
    CuteButton23 = controls.take<TCuteButton>("CuteButton23");
    CuteButton24 = controls.take<TCuteButton>("CuteButton24");
    CuteButton25 = controls.take<TCuteButton>("CuteButton25");
    CuteButton26 = controls.take<TCuteButton>("CuteButton26");
    CuteButton27 = controls.take<TCuteButton>("CuteButton27");
    CuteButton28 = controls.take<TCuteButton>("CuteButton28");
    CuteButton29 = controls.take<TCuteButton>("CuteButton29");
    CuteButton43 = controls.take<TCuteButton>("CuteButton43");
    CuteButton45 = controls.take<TCuteButton>("CuteButton45");
    Chbutton1 = controls.take<TCuteButton>("Chbutton1");
    ScrollBar1 = controls.take<QScrollBar>("ScrollBar1");
    ScrollBar2 = controls.take<QScrollBar>("ScrollBar2");
    ScrollBar3 = controls.take<QScrollBar>("ScrollBar3");
    CheckBox1 = controls.take<QCheckBox>("CheckBox1");
    CheckBox2 = controls.take<QCheckBox>("CheckBox2");
    CheckBox4 = controls.take<QCheckBox>("CheckBox4");
    Label26 = controls.take<QLabel>("Label26");
    // The animation's pause, the 3D depth and the rotation.
    ScrollBar1->setRange(0, 1000);
    ScrollBar2->setRange(1, 100);
    ScrollBar3->setRange(270, 360);
    for (QScrollBar* bar : {ScrollBar1, ScrollBar2, ScrollBar3})
        greyWhenDisabled(bar);
    lookOfDockSiteCaption(controls.take<QLabel>("Panel2Caption"));
    Chart1->raise();
    docking_ = new DockableControl(Chart1, {Panel2}, QStringLiteral("Chart"));
    animateTimer_->setSingleShot(true);
    connect(animateTimer_, &QTimer::timeout, this, &ChartPanel::animateTimerFired);
    connectCommands();
}

void ChartPanel::connectCommands() {
    const std::pair<TCuteButton*, void (ChartPanel::*)()> commands[] = {
        {CuteButton22, &ChartPanel::CuteButton22Click},
        {CuteButton24, &ChartPanel::CuteButton24Click},
        {CuteButton25, &ChartPanel::CuteButton25Click},
        {CuteButton29, &ChartPanel::CuteButton29Click},
        {CuteButton26, &ChartPanel::CuteButton26Click},
        {CuteButton27, &ChartPanel::CuteButton27Click},
        {CuteButton28, &ChartPanel::CuteButton28Click},
        {CuteButton43, &ChartPanel::CuteButton43Click},
        {CuteButton45, &ChartPanel::commandDone},
        {Chbutton1, &ChartPanel::Chbutton1Click},
        {CuteButton21, &ChartPanel::CuteButton21Click},
        {CuteButton23, &ChartPanel::CuteButton23Click},
    };
    for (const auto& [button, handler] : commands)
        connect(button, &QPushButton::clicked, this, handler);
    connect(ScrollBar1, &QScrollBar::valueChanged, this, &ChartPanel::ScrollBar1Change);
    connect(ScrollBar2, &QScrollBar::valueChanged, this, &ChartPanel::ScrollBar2Change);
    connect(ScrollBar3, &QScrollBar::valueChanged, this, &ChartPanel::ScrollBar3Change);
    connect(CheckBox1, &QCheckBox::toggled, this, &ChartPanel::CheckBox1Click);
    connect(CheckBox2, &QCheckBox::toggled, this, &ChartPanel::CheckBox2Click);
    connect(CheckBox4, &QCheckBox::toggled, this, &ChartPanel::CheckBox4Click);
    // A rectangle dragged on the chart zooms or undoes, as the zoom buttons do.
    connect(Chart1, &TChart::zoomed, CuteButton28, [this] { CuteButton28->setEnabled(true); });
    connect(Chart1, &TChart::zoomUndone, CuteButton28, [this] { CuteButton28->setEnabled(false); });
}

void ChartPanel::applyRunState(const RunStateEffects& effects) {
    applySwitch(CuteButton22, effects.command(Command::ChartUpdate));
    applySwitch(CuteButton24, effects.command(Command::ChartAnimate));
    applySwitch(CuteButton25, effects.command(Command::ChartPush));
    applySwitch(CuteButton29, effects.command(Command::ChartClear));
    applySwitch(CuteButton28, effects.command(Command::ChartZoomReset));
}

void ChartPanel::enableRebuilds(bool enabled) {
    for (TCuteButton* rebuild : {CuteButton22, CuteButton24, CuteButton25, CuteButton29})
        rebuild->setEnabled(enabled);
}

void ChartPanel::showLapCount(int laps) {
    Label26->setText(QString::number(laps));
}

void ChartPanel::restoreBarPositions() {
    ScrollBar2->setValue(23);
    ScrollBar3->setValue(350);
    ScrollBar1->setValue(500);
}

// ---- What the run does to the chart --------------------------------------------------------

void ChartPanel::take(const RunEvent& event) {
    switch (event.kind) {
    case RunEventKind::Started:
        return showRunStarted();
    case RunEventKind::Restarted:
        return showRunRestarted();
    case RunEventKind::Reset:
        return clearForReset();
    case RunEventKind::Lap:
        if (event.lap.competitor == 1)
            addLap(event.lap);
        return;
    default:
        return;
    }
}

void ChartPanel::showRunStarted() {
    showRunRestarted();
    lastReplayIndex_ = 0;
    runLaps_.clear();
}

void ChartPanel::showRunRestarted() {
    stopAnimation();
    undoZoom();
}

void ChartPanel::clearForReset() {
    stopAnimation();
    replayIndex_ = 0;
    lapCountCopy_ = 0;
    runLaps_.clear();
    Chart1->clearSeries();
    undoZoom();
    setAllAxesAutomatic();
    showPushReady();
    showLapCount(0);
}

// The first lap is plotted twice, so that from point 1 on a point's index is its lap number.
void ChartPanel::addLap(const LapFacts& lap) {
    const PointPair pair{lap.lap, lap.average};
    if (runLaps_.size() < lap.number)
        runLaps_.resize(lap.number);
    runLaps_[lap.number - 1] = pair;
    lapCountCopy_ = lap.number;
    showLapCount(lap.number);
    undoZoom();
    if (lap.number == 1)
        appendPair(pair);
    appendPair(pair);
    windowBehind_ = rebuilding_;
    if (!rebuilding_ && services_.autoScroll() && lap.number >= kWindowLaps)
        reportIfAny(showLapWindow(lapCountCopy_, runLapCells()));
}

void ChartPanel::showRebuiltLaps() {
    if (std::exchange(windowBehind_, false) && services_.autoScroll() &&
        lapCountCopy_ >= kWindowLaps)
        reportIfAny(showLapWindow(lapCountCopy_, runLapCells()));
}

void ChartPanel::endRebuild() {
    showRebuiltLaps();
    rebuilding_ = false;
}

void ChartPanel::CheckBox12Click() {
    reframe(lapCountCopy_);
}

// With "AutoScroll" the view keeps the last 21 laps of the run or, when the run has not so many,
// of the last rebuild; otherwise it shows every point.
void ChartPanel::reframe(int lapsSeen) {
    if (services_.autoScroll() && lapsSeen >= kWindowLaps)
        return reportIfAny(showLapWindow(laps_.Lap1.LapCount, runLapCells()));
    if (services_.autoScroll() && lastReplayIndex_ >= kWindowLaps)
        return reportIfAny(showLapWindow(lastReplayIndex_, mainGridCells()));
    setAllAxesAutomatic();
    emit commandDone();
}

void ChartPanel::reportIfAny(const QString& problem) {
    if (!problem.isEmpty())
        services_.reportProblem(problem);
}

// ---- The chart's model ---------------------------------------------------------------------

GridCellReader ChartPanel::mainGridCells() const {
    return [this](int col, int row) { return mainGrid_.cells(col, row); };
}

GridCellReader ChartPanel::runLapCells() const {
    return [this](int col, int row) {
        if (row < 1 || row > runLaps_.size())
            return QString();
        const PointPair& pair = runLaps_[row - 1];
        return QString::number(col == kAverageMilliColumn ? pair.average : pair.lap);
    };
}

void ChartPanel::undoZoom() {
    Chart1->undoZoom();
    CuteButton28->setEnabled(false);
}

void ChartPanel::setAllAxesAutomatic() {
    Chart1->setAxisAutomatic(AxisId::Right, true);
    Chart1->setAxisAutomatic(AxisId::Bottom, true);
}

void ChartPanel::appendPair(const PointPair& pair) {
    Chart1->appendPoint(0, pair.lap);
    Chart1->appendPoint(1, pair.average);
}

// The pair of the row the rebuild has reached (row 1 for the first two points).
bool ChartPanel::appendReplayPoint(CellConversion conversion) {
    const Checked<PointPair> pair =
        pointPairOfRow(std::max(replayIndex_, 1), mainGridCells(), conversion);
    if (!pair.value)
        return false;
    appendPair(*pair.value);
    return true;
}

// The view of the 21 points ending at lastIndex, scaled to the lap and average times among
// them. When a row holds no such times the axes stay as they were and the problem is returned.
QString ChartPanel::showLapWindow(int lastIndex, const GridCellReader& cells) {
    const Checked<LapWindow> window = lapWindowEndingAt(lastIndex, cells);
    if (!window.value)
        return window.problem;
    Chart1->setAxisAutomatic(AxisId::Right, false);
    Chart1->setAxisMaximum(AxisId::Right, window.value->highest);
    Chart1->setAxisMinimum(AxisId::Right, window.value->lowest);
    Chart1->setAxisAutomatic(AxisId::Bottom, false);
    Chart1->setAxisMaximum(AxisId::Bottom, window.value->lastIndex);
    Chart1->setAxisMinimum(AxisId::Bottom, window.value->firstIndex);
    return {};
}

// ---- Rebuilds ------------------------------------------------------------------------------

void ChartPanel::clearChart() {
    stopAnimation();
    replayIndex_ = 0;
    lastReplayIndex_ = 0;
    lapCountCopy_ = 0;
    Chart1->clearSeries();
    Chart1->setAxisAutomatic(AxisId::Bottom, true);
    undoZoom();
    CuteButton25->setEnabled(true);
    showPushReady();
    setAllAxesAutomatic();
}

void ChartPanel::showPushReady() {
    setCaptionColor(CuteButton25, kPushNavy);
    CuteButton25->setText(QStringLiteral("Push"));
}

void ChartPanel::CuteButton29Click() {
    clearChart();
    emit commandDone();
}

// "UPdate": every row at once, painted once at the end.
void ChartPanel::CuteButton22Click() {
    if (!hasLapsToPlot(mainGridCells()))
        return;
    clearChart();
    CuteButton25->setEnabled(false);
    const int rows = mainGrid_.rowCount();
    for (int i = 0; i < rows; ++i) {
        if (!appendReplayPoint(CellConversion::Strict)) {
            services_.reportProblem(QStringLiteral("Err"));
            return emit commandDone();
        }
        showLapCount(replayIndex_);
        lastReplayIndex_ = replayIndex_++;
    }
    CheckBox12Click();
    emit commandDone();
}

// "Animate": one point per step of the timer, so the window stays responsive and a stop, a
// reset or closing the window simply ends the replay.
void ChartPanel::CuteButton24Click() {
    if (!hasLapsToPlot(mainGridCells()))
        return;
    CuteButton24->setEnabled(false);
    CuteButton22->setEnabled(false);
    clearChart();
    animateRows_ = mainGrid_.rowCount();
    animateSteps_ = 0;
    CuteButton25->setEnabled(false);
    animateStep();
}

void ChartPanel::animateStep() {
    const bool appended = appendReplayPoint(CellConversion::Strict);
    const bool inView = !appended || !services_.autoScroll() || replayIndex_ < kWindowLaps ||
                        showLapWindow(replayIndex_, mainGridCells()).isEmpty();
    if (!appended || !inView) {
        animateSteps_ = animateRows_;
        CuteButton24->setEnabled(true);
        CuteButton22->setEnabled(true);
        services_.reportProblem(QStringLiteral("Err"));
        return emit commandDone();
    }
    showLapCount(replayIndex_);
    lastReplayIndex_ = replayIndex_++;
    ++animateSteps_;
    animateTimer_->start(animateDelay_);
}

// After each point's pause: the buttons come back one point before the end, then the next point.
void ChartPanel::animateTimerFired() {
    if (replayIndex_ == animateRows_ - 1) {
        CuteButton24->setEnabled(true);
        CuteButton22->setEnabled(true);
    }
    if (animateSteps_ < animateRows_)
        return animateStep();
    emit commandDone();
}

// A replay cut short leaves its two buttons usable, as a finished one does.
void ChartPanel::stopAnimation() {
    if (!animateTimer_->isActive())
        return;
    animateTimer_->stop();
    animateSteps_ = animateRows_;
    CuteButton24->setEnabled(true);
    CuteButton22->setEnabled(true);
}

// "Push": one point pair per click; the caption counts the points.
void ChartPanel::CuteButton25Click() {
    if (!hasLapsToPlot(mainGridCells()))
        return;
    const int rows = mainGrid_.rowCount();
    const bool firstRow = replayIndex_ <= 1;
    if (!appendReplayPoint(firstRow ? CellConversion::Strict : CellConversion::Lenient) ||
        (!firstRow && services_.autoScroll() && replayIndex_ >= kWindowLaps &&
         !showLapWindow(replayIndex_, mainGridCells()).isEmpty())) {
        services_.reportProblem(QStringLiteral("Err"));
        return emit commandDone();
    }
    lastReplayIndex_ = replayIndex_++;
    CuteButton25->setText(QString::number(lastReplayIndex_));
    if (rows - 1 == replayIndex_)
        setCaptionColor(CuteButton25, kPushMaroon);
    if (CuteButton25->text() == Label26->text())
        CuteButton25->setEnabled(false);
    emit commandDone();
}

// ---- Zoom, view and marks ------------------------------------------------------------------

void ChartPanel::CuteButton26Click() {
    Chart1->zoomPercent(120);
    CuteButton28->setEnabled(true);
    emit commandDone();
}

void ChartPanel::CuteButton27Click() {
    Chart1->zoomPercent(80);
    CuteButton28->setEnabled(true);
    emit commandDone();
}

void ChartPanel::CuteButton28Click() {
    undoZoom();
    emit commandDone();
}

void ChartPanel::ScrollBar1Change(int position) {
    animateDelay_ = position;
    emit commandDone();
}

void ChartPanel::ScrollBar2Change(int position) {
    Chart1->setChart3DPercent(position);
    emit commandDone();
}

void ChartPanel::ScrollBar3Change(int position) {
    if (ScrollBar3->isEnabled()) {
        Chart1->setOrthogonal(false);
        Chart1->setRotation(position);
    }
    emit commandDone();
}

void ChartPanel::CheckBox1Click(bool on) {
    Chart1->setView3D(on);
    ScrollBar2->setEnabled(on);
    ScrollBar3->setEnabled(on);
    emit commandDone();
}

void ChartPanel::CheckBox4Click(bool on) {
    Chart1->setMarksVisible(on);
    emit commandDone();
}

// "Reset_Pos": the last 21 laps again with "AutoScroll", otherwise the whole run.
void ChartPanel::Chbutton1Click() {
    reframe(laps_.Lap1.LapCount);
}

// ---- Docking and pictures ------------------------------------------------------------------

void ChartPanel::CheckBox2Click(bool on) {
    docking_->setDockable(on);
    emit commandDone();
}

void ChartPanel::CuteButton43Click() {
    Chart1->show();
    Chart1->raise();
    emit commandDone();
}

void ChartPanel::CuteButton21Click() {
    savePicture(QStringLiteral(".wmf"), Chart1->metafile());
}

void ChartPanel::CuteButton23Click() {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    Chart1->bitmap().save(&buffer, "BMP");
    savePicture(QStringLiteral(".bmp"), bytes);
}

// The picture goes to the working folder under this minute's name; a failed save leaves any
// earlier file of that name whole.
void ChartPanel::savePicture(const QString& suffix, const QByteArray& bytes) {
    const QString path =
        QDir(services_.workingDirectory)
            .filePath(services_.now().toString(QStringLiteral("yyMMddHHmm")) + suffix);
    const QString error = saveFileSafely(path, bytes);
    if (!error.isEmpty())
        services_.reportProblem(QStringLiteral("The chart could not be saved to %1:\n%2")
                                    .arg(QDir::toNativeSeparators(path), error));
    emit commandDone();
}
