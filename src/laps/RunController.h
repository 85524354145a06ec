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

// What a lap rebuilt from the run's record had at its press.
struct RecordedPress {
    QString name;
    std::optional<QString> course; // the chosen entry, or none while a length was being typed
    SpeedUnit unit = SpeedUnit::KilometresPerHour;
    QString wallClock;
};

// The run without its window: the one stopwatch, the laps of the three competitors, the run's
// state, the course, the speed unit and the names. It is the one gate of every command, whatever
// road the command came by, and it tells every fact of the run to its listeners as a typed event.
class RunController {
public:
    RunController(const MillisecondClock& clock, std::function<QDateTime()> now);

    // Every fact of the run goes to each listener, in the order the listeners subscribed and in
    // the order the facts happened. A listener is called on the thread that runs the run (the
    // UI thread); one that works elsewhere posts the event on.
    int subscribe(RunListener listener);
    void unsubscribe(int id);
    quint64 lastSequence() const { return sequence_; }

    const TStopWatch& stopWatch() const { return stopWatch_; }
    const LapState& laps() const { return laps_.state(); }
    bool running() const { return running_; }
    bool resultsPending() const { return resultsPending_; }
    RunState state() const { return state_; }
    // Whether the command may run now. A lap also needs the watch to run.
    bool can(Command command) const;

    // Each command returns false, doing nothing, when it may not run now.
    // Start zeroes the watch; with results pending it clears them first (a reset without sound).
    bool start();
    bool stop();
    bool restart();
    // Zeroes the watch unless results were pending.
    bool reset();
    bool lap(int competitor);
    // One more lap of competitor 1, ending at the watch's present total, then the run stops; its
    // read-outs do not start.
    void plusOneLap();
    // A lap rebuilt from the run's record: taken as it was, running, with what it had at its press.
    void replayLap(int competitor, const RecordedPress& press);
    // Rows loaded or pasted into a grid.
    void loadGrid(RunEventKind kind, const QList<QStringList>& rows);

    RunFigures refresh();

    void setName(int competitor, const QString& name);
    QString name(int competitor) const { return names_.at(competitor - 1); }
    // The course length: the text of the chosen entry, or none while a length is being typed.
    void setCourse(std::optional<QString> chosenEntry);
    const std::optional<QString>& course() const { return course_; }
    void setUnit(SpeedUnit unit);
    SpeedUnit unit() const { return unit_; }

    // One read-out at a time: claiming fails while another holds the flag.
    bool claimAnnouncement() { return !announcementBusy_.exchange(true); }
    void releaseAnnouncement() { announcementBusy_ = false; }
    bool announcementBusy() const { return announcementBusy_; }

private:
    void enter(RunEntry entry);
    void clearResults();
    void halt();
    void recordLap(int competitor, const LapPress& press);
    void publish(RunEventKind kind, qint32 total, LapFacts lap = {}, QList<QStringList> rows = {});
    void publishDetails();
    qint32 totalNow() const;
    LapPress pressOf(int competitor) const;

    TStopWatch stopWatch_;
    LapBook laps_;
    std::function<QDateTime()> now_;
    bool running_ = false;
    // The start-up screen counts as the results of a run, so that the first reset is silent.
    bool resultsPending_ = true;
    RunState state_ = RunState::Idle;
    std::array<bool, kCommandCount> enabled_{};
    std::array<QString, 3> names_;
    std::optional<QString> course_;
    SpeedUnit unit_ = SpeedUnit::KilometresPerHour;
    std::atomic<bool> announcementBusy_{false};
    std::vector<std::pair<int, RunListener>> listeners_;
    int nextListenerId_ = 1;
    quint64 sequence_ = 0;
};

} // namespace kelvos
