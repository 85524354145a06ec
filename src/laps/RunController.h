#pragma once

#include "LapBook.h"
#include "MillisecondClock.h"
#include "RunEvent.h"
#include "RunStates.h"
#include "Speed.h"
#include "TStopWatch.h"

#include <QDateTime>
#include <QString>
#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

namespace kelvos {

// What one display refresh shows, from one reading of the clock.
struct RunFigures {
    qint32 total = 0;
    QString totalText;
    std::optional<QString> runningLapText; // the lap in progress, once competitor 1 has a lap
};

// The run without its window: the one stopwatch, the laps of the three competitors, the run
// flags, the course, the speed unit and the names. Every command and press goes through it, and
// each press returns one set of facts that every part of the window shows.
class RunController {
public:
    RunController(const MillisecondClock& clock, std::function<QDateTime()> now);

    // Every fact of the run goes to each listener, in the order the listeners subscribed and in
    // the order the facts happened. A listener is called on the thread that runs the run (the
    // UI thread); one that works elsewhere posts the event on.
    int subscribe(RunListener listener);
    void unsubscribe(int id);
    quint64 lastSequence() const { return sequence_; }

    TStopWatch& stopWatch() { return stopWatch_; }
    const TStopWatch& stopWatch() const { return stopWatch_; }
    const LapState& laps() const { return laps_.state(); }
    bool running() const { return running_; }
    bool resultsPending() const { return resultsPending_; }
    RunState state() const { return state_; }

    // Window creation leaves the start-up screen as the results of a run, so that the first
    // reset is silent.
    void markResultsPending() { resultsPending_ = true; }

    // Start: the watch from zero, then (after any implicit reset) a new run.
    void startWatch();
    void beginRun();
    void stop();
    void restart();
    // Reset: zeroes the watch unless results were pending; true when it did.
    bool resetWatch();
    void resetLaps();
    void finishReset() { resultsPending_ = false; }
    // The one extra lap of "Plus1Lap" is taken as if the watch still ran.
    void treatAsRunning() { running_ = true; }
    void enter(RunState state) { state_ = state; }

    // A lap is taken only while the watch runs ("Plus1Lap" takes its one lap as if it ran);
    // otherwise a press records nothing and gives no result.
    bool canLap() const { return running_; }
    std::optional<Lap1Result> lap1();
    std::optional<OtherLapResult> lap2();
    std::optional<OtherLapResult> lap3();
    RunFigures refresh();

    void setName(int competitor, const QString& name) { names_.at(competitor - 1) = name; }
    QString name(int competitor) const { return names_.at(competitor - 1); }
    // The course length: the text of the chosen entry, or none while a length is being typed.
    void setCourse(std::optional<QString> chosenEntry) { course_ = std::move(chosenEntry); }
    const std::optional<QString>& course() const { return course_; }
    // Rows rebuilt from a record show the time of day the press was made, not the present one.
    void setWallClockText(std::optional<QString> text) { wallClockText_ = std::move(text); }
    void setUnit(SpeedUnit unit) { unit_ = unit; }
    SpeedUnit unit() const { return unit_; }

    // One read-out at a time: claiming fails while another holds the flag.
    bool claimAnnouncement() { return !announcementBusy_.exchange(true); }
    void releaseAnnouncement() { announcementBusy_ = false; }
    void holdAnnouncement() { announcementBusy_ = true; }
    bool announcementBusy() const { return announcementBusy_; }

private:
    void publish(RunEvent event);
    qint32 totalNow() const;
    LapPress pressOf(int competitor) const;

    TStopWatch stopWatch_;
    LapBook laps_;
    std::function<QDateTime()> now_;
    bool running_ = false;
    bool resultsPending_ = false;
    RunState state_ = RunState::Idle;
    std::array<QString, 3> names_;
    std::optional<QString> course_;
    std::optional<QString> wallClockText_;
    SpeedUnit unit_ = SpeedUnit::KilometresPerHour;
    std::atomic<bool> announcementBusy_{false};
    std::vector<std::pair<int, RunListener>> listeners_;
    int nextListenerId_ = 1;
    quint64 sequence_ = 0;
};

} // namespace kelvos
