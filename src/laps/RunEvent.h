#pragma once

#include "LapFacts.h"
#include "RunStates.h"
#include "Speed.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace kelvos {

// What every event also tells: the run's names, course and unit as they are now.
struct RunDetails {
    std::array<QString, 3> names;
    QString course;            // the chosen course entry's text
    bool courseChosen = false; // false while a length is being typed: speeds are 0
    SpeedUnit unit = SpeedUnit::KilometresPerHour;
};

enum class RunEventKind {
    Started,
    Stopped,
    Restarted,
    Reset,
    Lap,
    MainGridLoaded, // rows loaded or pasted into the Main grid
    MixGridLoaded,  // rows loaded into the Mix grid
    DetailsChanged, // names, course or unit
};

// One fact of the run, published in the order it happened.
struct RunEvent {
    RunEventKind kind = RunEventKind::Started;
    quint64 sequence = 0;            // 1 for the first event of the session, then one more for each
    RunState state = RunState::Idle; // the run's state once the event happened
    qint32 total = 0;                // the watch when it happened, ms
    QDateTime wallClock;             // when it happened
    RunDetails details;
    LapFacts lap;                // Lap only
    QList<QStringList> gridRows; // MainGridLoaded and MixGridLoaded: the grid's data rows
};

using RunListener = std::function<void(const RunEvent&)>;

} // namespace kelvos
