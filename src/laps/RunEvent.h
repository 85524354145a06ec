#pragma once

#include "LapBook.h"
#include "RunStates.h"
#include "Speed.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>
#include <array>
#include <functional>

namespace kelvos {

// The columns of a lap row, in the order both grids show them and the files keep them.
enum class LapColumn {
    Lap,          // the competitor's lap number
    Name,         // the competitor's name at the press
    Total,        // the watch at the press, full form
    LapTime,      // the lap, full form
    Difference,   // lap minus previous lap, signed short form
    Realtime,     // the time of day at the press
    LapMs,        // the lap in milliseconds
    LapSpeed,     // the lap's speed
    AverageMs,    // the average lap in milliseconds
    AverageSpeed, // the average speed
};
inline constexpr int kLapColumnCount = int(LapColumn::AverageSpeed) + 1;

// One lap as the run recorded it at the press.
struct LapFacts {
    int competitor = 1;
    qint32 number = 0;     // the competitor's lap count with this lap
    qint32 total = 0;      // the watch at the press, ms
    qint32 lap = 0;        // ms
    qint32 difference = 0; // this lap minus the one before, ms
    qint32 average = 0;    // the competitor's average lap, ms
    QString wallClock;     // the time of day at the press, as the Realtime column shows it
    QString lapSpeed;      // in the speed unit below
    QString averageSpeed;
    SpeedUnit unit = SpeedUnit::KilometresPerHour;
    QString name;
    int mainRow = 0;      // the Main grid row it goes to; 0: none (competitors 2 and 3)
    int mixRow = 0;       // the Mix grid row it goes to
    bool fastest = false; // competitor 1: the fastest lap so far (a tie counts)
    // The gaps between competitor 1 and competitors 2 and 3 that this lap changes.
    std::array<GapUpdate, 2> gaps{};

    // The row's cells, in column order.
    QStringList rowTexts() const;
    QString text(LapColumn column) const;
};

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
