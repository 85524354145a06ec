#include "RunController.h"

#include "TimeText.h"

namespace kelvos {

RunController::RunController(const MillisecondClock& clock, std::function<QDateTime()> now)
    : stopWatch_(clock), now_(std::move(now)) {
    enabled_.fill(true);
    enter(RunEntry::Shown);
}

int RunController::subscribe(RunListener listener) {
    listeners_.emplace_back(nextListenerId_, std::move(listener));
    return nextListenerId_++;
}

void RunController::unsubscribe(int id) {
    std::erase_if(listeners_, [id](const auto& entry) { return entry.first == id; });
}

void RunController::publish(RunEventKind kind, qint32 total, LapFacts lap,
                            QList<QStringList> rows) {
    RunEvent event;
    event.kind = kind;
    event.sequence = ++sequence_;
    event.state = state_;
    event.total = total;
    event.wallClock = now_();
    event.details = {names_, course_.value_or(QString()), course_.has_value(), unit_};
    event.lap = std::move(lap);
    event.gridRows = std::move(rows);
    const auto listeners = listeners_; // a listener may subscribe another
    for (const auto& [id, listener] : listeners)
        listener(event);
}

void RunController::publishDetails() {
    publish(RunEventKind::DetailsChanged, stopWatch_.GetElapsed());
}

// The commands each state switches on and off are one table; a command it leaves alone keeps
// what the state before gave it.
void RunController::enter(RunEntry entry) {
    const RunStateEffects effects = runStateEffects(entry, false);
    state_ = effects.state;
    for (std::size_t c = 0; c < kCommandCount; ++c)
        if (effects.commands[c] != Switch::Keep)
            enabled_[c] = effects.commands[c] == Switch::On;
}

bool RunController::can(Command command) const {
    const bool lap =
        command == Command::Lap1 || command == Command::Lap2 || command == Command::Lap3;
    return enabled_[std::size_t(command)] && (!lap || running_);
}

bool RunController::start() {
    if (!can(Command::Start))
        return false;
    stopWatch_.Start();
    if (resultsPending_)
        clearResults(); // the watch is not zeroed again, and no sound says so
    running_ = true;
    laps_.start();
    enter(RunEntry::Start);
    publish(RunEventKind::Started, 0);
    return true;
}

void RunController::halt() {
    stopWatch_.Stop();
    running_ = false;
    resultsPending_ = true;
    announcementBusy_ = false; // a read-out still running must not block the next run's
    enter(RunEntry::Stop);
    publish(RunEventKind::Stopped, stopWatch_.GetElapsed());
}

bool RunController::stop() {
    if (!can(Command::Stop))
        return false;
    halt();
    return true;
}

bool RunController::restart() {
    if (!can(Command::Restart))
        return false;
    stopWatch_.Resume();
    running_ = true;
    enter(RunEntry::Restart);
    publish(RunEventKind::Restarted, stopWatch_.GetElapsed());
    return true;
}

bool RunController::reset() {
    if (!can(Command::Reset))
        return false;
    if (!resultsPending_) {
        stopWatch_.Start();
        stopWatch_.Stop();
    }
    clearResults();
    return true;
}

void RunController::clearResults() {
    running_ = false;
    laps_.reset();
    announcementBusy_ = false;
    resultsPending_ = false;
    enter(RunEntry::Reset);
    publish(RunEventKind::Reset, stopWatch_.GetElapsed());
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
    press.wallClock = [this] { return formatWallClock(now_().time()); };
    return press;
}

void RunController::recordLap(int competitor, const LapPress& press) {
    publish(RunEventKind::Lap, press.elapsed, laps_.recordLap(competitor, press, unit_));
}

bool RunController::lap(int competitor) {
    if (!can(Command(int(Command::Lap1) + competitor - 1)))
        return false;
    recordLap(competitor, pressOf(competitor));
    return true;
}

void RunController::plusOneLap() {
    running_ = true;
    announcementBusy_ = true;
    recordLap(1, pressOf(1));
    halt();
}

void RunController::replayLap(int competitor, const RecordedPress& recorded) {
    running_ = true; // every lap was taken running, "Plus1Lap" too
    LapPress press = pressOf(competitor);
    press.name = recorded.name;
    press.courseLengthText = recorded.course.value_or(QString());
    press.courseEntrySelected = recorded.course.has_value();
    press.wallClock = [text = recorded.wallClock] { return text; };
    publish(RunEventKind::Lap, press.elapsed, laps_.recordLap(competitor, press, recorded.unit));
}

void RunController::loadGrid(RunEventKind kind, const QList<QStringList>& rows) {
    publish(kind, stopWatch_.GetElapsed(), {}, rows);
}

RunFigures RunController::refresh() {
    RunFigures figures;
    figures.total = totalNow();
    figures.totalText = formatFullTime(figures.total);
    figures.runningLapText = laps_.refreshRunningLap(figures.total, running_);
    return figures;
}

void RunController::setName(int competitor, const QString& name) {
    if (std::exchange(names_.at(competitor - 1), name) != name)
        publishDetails();
}

void RunController::setCourse(std::optional<QString> chosenEntry) {
    if (chosenEntry == course_)
        return;
    course_ = std::move(chosenEntry);
    publishDetails();
}

void RunController::setUnit(SpeedUnit unit) {
    if (std::exchange(unit_, unit) != unit)
        publishDetails();
}

} // namespace kelvos
