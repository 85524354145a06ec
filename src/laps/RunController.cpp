#include "RunController.h"

#include "TimeText.h"

namespace kelvos {

RunController::RunController(const MillisecondClock& clock, std::function<QDateTime()> now)
    : stopWatch_(clock), now_(std::move(now)) {}

int RunController::subscribe(RunListener listener) {
    listeners_.emplace_back(nextListenerId_, std::move(listener));
    return nextListenerId_++;
}

void RunController::unsubscribe(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void RunController::publish(RunEvent event) {
    event.sequence = ++sequence_;
    event.state = state_;
    event.wallClock = now_();
    event.details = {names_, course_.value_or(QString()), course_.has_value(), unit_};
    const auto listeners = listeners_; // a listener may subscribe another
    for (const auto& [id, listener] : listeners)
        listener(event);
}

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

// The total is never earlier than the latest press while the watch runs. Presses are taken in
// the order they arrive, and one timed by an event older than the press before it (a command
// from another program, then a key that waited in the queue) ends its lap at that press: no lap
// and no lap in progress is ever negative.
qint32 RunController::totalNow() const {
    const qint32 total = stopWatch_.GetElapsed();
    const qint32 latest = laps_.state().PressTotal;
    return running_ && qint32(quint32(total) - quint32(latest)) < 0 ? latest : total;
}

LapPress RunController::pressOf(int competitor) const {
    LapPress press;
    press.elapsed = totalNow(); // the press is timed before anything else
    press.running = running_;
    press.courseLengthText = course_.value_or(QString());
    press.courseEntrySelected = course_.has_value();
    press.name = name(competitor);
    press.wallClock = [this] {
        return wallClockText_ ? *wallClockText_ : formatWallClock(now_().time());
    };
    return press;
}

std::optional<Lap1Result> RunController::lap1() {
    if (!canLap())
        return std::nullopt;
    return laps_.recordLap1(pressOf(1), unit_);
}

std::optional<OtherLapResult> RunController::lap2() {
    if (!canLap())
        return std::nullopt;
    return laps_.recordLap2(pressOf(2));
}

std::optional<OtherLapResult> RunController::lap3() {
    if (!canLap())
        return std::nullopt;
    return laps_.recordLap3(pressOf(3));
}

RunFigures RunController::refresh() {
    RunFigures figures;
    figures.total = totalNow();
    figures.totalText = formatFullTime(figures.total);
    figures.runningLapText = laps_.refreshRunningLap(figures.total, running_);
    return figures;
}

} // namespace kelvos
