#include "RunController.h"

#include "TimeText.h"

namespace kelvos {

RunController::RunController(const MillisecondClock& clock, std::function<QDateTime()> now)
    : stopWatch_(clock), now_(std::move(now)) {}

void RunController::startWatch() {
    stopWatch_.Start();
}

void RunController::beginRun() {
    running_ = true;
    laps_.start();
}

void RunController::stop() {
    stopWatch_.Stop();
    running_ = false;
    resultsPending_ = true;
    announcementBusy_ = false; // a read-out still running must not block the next run's
}

void RunController::restart() {
    stopWatch_.Resume();
    running_ = true;
}

bool RunController::resetWatch() {
    if (resultsPending_)
        return false;
    stopWatch_.Start();
    stopWatch_.Stop();
    return true;
}

void RunController::resetLaps() {
    running_ = false;
    laps_.reset();
    announcementBusy_ = false;
}

LapPress RunController::pressOf(int competitor) const {
    LapPress press;
    press.elapsed = stopWatch_.GetElapsed(); // the press is timed before anything else
    press.running = running_;
    press.courseLengthText = course_.value_or(QString());
    press.courseEntrySelected = course_.has_value();
    press.name = name(competitor);
    press.wallClock = [this] {
        return wallClockText_ ? *wallClockText_ : formatWallClock(now_().time());
    };
    return press;
}

Lap1Result RunController::lap1() {
    return laps_.recordLap1(pressOf(1), unit_);
}

OtherLapResult RunController::lap2() {
    return laps_.recordLap2(pressOf(2));
}

OtherLapResult RunController::lap3() {
    return laps_.recordLap3(pressOf(3));
}

RunFigures RunController::refresh() {
    RunFigures figures;
    figures.total = stopWatch_.GetElapsed();
    figures.totalText = formatFullTime(figures.total);
    figures.runningLapText = laps_.refreshRunningLap(figures.total, running_);
    return figures;
}

} // namespace kelvos
