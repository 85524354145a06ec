#pragma once

#include "Speed.h"

#include <QString>
#include <QStringList>
#include <array>

namespace kelvos {

// A gap label (competitor 1 against 2 or 3). It changes only when both have the same lap count.
struct GapUpdate {
    bool changed = false;
    qint32 gap = 0; // competitor 1's total at that lap minus the other's; > 0: competitor 1 behind
    QString text;
    bool negative = false; // shown in the negative colour
};

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

} // namespace kelvos
